-- Head office rate database, PostgreSQL.
-- tblCurr keeps the local table's column order: uploads copy ordinals 1 to 14 by
-- position, and readers use pos and col1 ... col5 by name.
-- Load into an empty database: psql -v ON_ERROR_STOP=1 -d DBNAME -f postgresql.sql

CREATE TABLE tblCurr (
    currAuto   serial PRIMARY KEY,
    currName   text NOT NULL UNIQUE,
    -- Rates: NUMERIC so they come back exactly as written.
    col1       numeric,
    col2       numeric,
    col3       numeric,
    col4       numeric,
    col5       numeric,
    img        text,
    active     integer DEFAULT 1,
    cell1      text,
    cell2      text,
    cell3      text,
    cell4      text,
    cell5      text,
    pos        integer UNIQUE,
    low        numeric DEFAULT 0.0001,
    high       numeric DEFAULT 1000,
    vstate     text DEFAULT 'N',
    updateTime timestamp DEFAULT now()
);

-- Sets the rates and position of the currency named currName (names compared
-- without letter case), adding the currency when the table has none of that name.
-- A position held by another currency is freed first, so pos stays unique.
-- Called as SELECT update_currency(...): prepared CALL statements are refused.
-- Returns the row's currAuto.
CREATE FUNCTION update_currency(currName text, col1 numeric, col2 numeric,
                                col3 numeric, col4 numeric, col5 numeric,
                                pos integer)
RETURNS integer
LANGUAGE plpgsql
AS $$
DECLARE
    key integer;
BEGIN
    IF currName IS NULL OR btrim(currName) = '' THEN
        RAISE EXCEPTION 'update_currency: currency name is empty';
    END IF;
    SELECT c.currAuto INTO key FROM tblCurr c
        WHERE lower(c.currName) = lower(update_currency.currName)
        FOR UPDATE;
    -- Only when needed: every UPDATE statement notifies, even one of no rows.
    IF EXISTS (SELECT 1 FROM tblCurr c WHERE c.pos = update_currency.pos
                   AND c.currAuto IS DISTINCT FROM key) THEN
        UPDATE tblCurr c SET pos = NULL
            WHERE c.pos = update_currency.pos AND c.currAuto IS DISTINCT FROM key;
    END IF;
    IF key IS NULL THEN
        INSERT INTO tblCurr (currName, col1, col2, col3, col4, col5, pos, updateTime)
            VALUES (update_currency.currName, update_currency.col1, update_currency.col2,
                    update_currency.col3, update_currency.col4, update_currency.col5,
                    update_currency.pos, now())
            RETURNING currAuto INTO key;
    ELSE
        UPDATE tblCurr c SET col1 = update_currency.col1, col2 = update_currency.col2,
                             col3 = update_currency.col3, col4 = update_currency.col4,
                             col5 = update_currency.col5, pos = update_currency.pos,
                             updateTime = now()
            WHERE c.currAuto = key;
    END IF;
    RETURN key;
END;
$$;

-- Boards listening on tblcurr_changed re-read the rates after any change; one
-- notification per statement (payload: the operation) is enough for that.
CREATE FUNCTION tblcurr_notify() RETURNS trigger
LANGUAGE plpgsql
AS $$
BEGIN
    PERFORM pg_notify('tblcurr_changed', TG_OP);
    RETURN NULL;
END;
$$;

CREATE TRIGGER tblcurr_changed
    AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON tblCurr
    FOR EACH STATEMENT EXECUTE FUNCTION tblcurr_notify();
