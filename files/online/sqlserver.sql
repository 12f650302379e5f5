-- Head office rate database, SQL Server (T-SQL).
-- tblCurr keeps the local table's column order: uploads copy ordinals 1 to 14 by
-- position, and readers use pos and col1 ... col5 by name.
-- Load with: sqlcmd -b -d DBNAME -i sqlserver.sql

CREATE TABLE tblCurr (
    currAuto   int IDENTITY(1,1) PRIMARY KEY,
    currName   nvarchar(100) NOT NULL UNIQUE,
    -- Rates: exact decimals, never float.
    col1       decimal(28, 10) NULL,
    col2       decimal(28, 10) NULL,
    col3       decimal(28, 10) NULL,
    col4       decimal(28, 10) NULL,
    col5       decimal(28, 10) NULL,
    img        nvarchar(400) NULL,
    active     int NULL DEFAULT 1,
    cell1      nvarchar(100) NULL,
    cell2      nvarchar(100) NULL,
    cell3      nvarchar(100) NULL,
    cell4      nvarchar(100) NULL,
    cell5      nvarchar(100) NULL,
    pos        int NULL,
    low        decimal(28, 10) NULL DEFAULT 0.0001,
    high       decimal(28, 10) NULL DEFAULT 1000,
    vstate     nvarchar(10) NULL DEFAULT 'N',
    updateTime datetime2 NULL DEFAULT SYSDATETIME()
);
GO

-- pos is unique where set (a plain UNIQUE constraint would allow one NULL only).
CREATE UNIQUE INDEX ux_tblCurr_pos ON tblCurr(pos) WHERE pos IS NOT NULL;
GO

-- Sets the rates and position of the currency named @currName (the default
-- collation compares names without letter case), adding the currency when the
-- table has none of that name. A position held by another currency is freed
-- first, so pos stays unique. Returns the row's currAuto as a result set.
CREATE PROCEDURE update_currency
    @currName nvarchar(100),
    @col1 decimal(28, 10),
    @col2 decimal(28, 10),
    @col3 decimal(28, 10),
    @col4 decimal(28, 10),
    @col5 decimal(28, 10),
    @pos int
AS
BEGIN
    SET NOCOUNT ON;
    SET XACT_ABORT ON;
    IF @currName IS NULL OR LTRIM(RTRIM(@currName)) = N''
        THROW 50001, N'update_currency: currency name is empty', 1;
    DECLARE @key int;
    BEGIN TRANSACTION;
    SELECT @key = currAuto FROM tblCurr WITH (UPDLOCK, HOLDLOCK) WHERE currName = @currName;
    IF @pos IS NOT NULL
        UPDATE tblCurr SET pos = NULL
            WHERE pos = @pos AND (@key IS NULL OR currAuto <> @key);
    IF @key IS NULL
    BEGIN
        INSERT INTO tblCurr (currName, col1, col2, col3, col4, col5, pos, updateTime)
            VALUES (@currName, @col1, @col2, @col3, @col4, @col5, @pos, SYSDATETIME());
        SET @key = SCOPE_IDENTITY();
    END
    ELSE
        UPDATE tblCurr SET col1 = @col1, col2 = @col2, col3 = @col3, col4 = @col4,
                           col5 = @col5, pos = @pos, updateTime = SYSDATETIME()
            WHERE currAuto = @key;
    COMMIT TRANSACTION;
    SELECT @key AS currAuto;
END;
GO

-- SQL Server has no NOTIFY: changes are counted in tblCurrChange, which boards
-- poll (or watch through query notifications) to re-read the rates.
CREATE TABLE tblCurrChange (
    id        int NOT NULL PRIMARY KEY,
    version   bigint NOT NULL,
    changedAt datetime2 NOT NULL
);
INSERT INTO tblCurrChange (id, version, changedAt) VALUES (1, 0, SYSDATETIME());
GO

CREATE TRIGGER tblcurr_changed ON tblCurr
AFTER INSERT, UPDATE, DELETE
AS
BEGIN
    SET NOCOUNT ON;
    UPDATE tblCurrChange SET version = version + 1, changedAt = SYSDATETIME() WHERE id = 1;
END;
GO
