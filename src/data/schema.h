#pragma once
// Table definitions in their column order: every table is reached by column name
// and by ordinal position, so the order here is part of the file format.
#include <QString>
#include <QStringList>
#include <QVector>

namespace quoteria {

struct ColumnDef {
    QString name;
    QString decl; // SQLite type and constraints
};

struct TableDef {
    QString name;
    QVector<ColumnDef> columns;
    QStringList extraSql; // indexes created with the table
    int since = 1;        // the schema version that adds the table

    QStringList columnNames() const;
    // The column's name as declared, matched without regard to case; empty if unknown.
    QString column(const QString& name) const;
};

namespace schema {

constexpr int currentVersion = 2;

const QVector<TableDef>& tables();
// nullptr when there is no such table (names compare without regard to case).
const TableDef* table(const QString& name);
QString createSql(const TableDef& t);

} // namespace schema
} // namespace quoteria
