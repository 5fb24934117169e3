// The batch window's list behind its view: one row per file, holding the file's path as the
// file system has it and the texts of its cells. The view only shows it; the runs take their
// paths from here, never from a cell's text.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <string>
#include <vector>

#include "engine/BatchList.h"
#include "engine/DigestKinds.h"
#include "platform/Path.h"

class TBatchRows : public QAbstractTableModel {
    Q_OBJECT

public:
    // Columns: 0 is the icon, 1 to 8 the cells; after them the verification of a row that
    // came from a checksum list, shown only by that work type.
    enum TCell {
        cIcon, cName, cCurrentTime, cNewTime, cCRC32, cMD5, cSize, cSHA1, cPath,
        cListKind, cExpected, cComputed, cVerdict, cCount
    };

    struct TRow {
        TPath Path;   // as it was passed in
        TPath Name;   // without its folder
        QIcon Icon;
        QString CurrentTime, NewTime;
        QString CRC32 = QString::fromLatin1(kBatchNoValue);
        QString MD5 = QString::fromLatin1(kBatchNoValue);
        QString Size = QString::fromLatin1(kBatchNoValue);
        QString SHA1 = QString::fromLatin1(kBatchNoValue);
        // From a checksum list: the kind, its label, the listed value; empty otherwise.
        const TDigestKindInfo* ListKind = nullptr;
        QString Expected, Computed, Verdict;
        std::string ListCp932Path;   // where a Windows list's Shift_JIS name may lie in UTF-8
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    int Count() const { return int(rows_.size()); }
    const TPath& PathOf(int row) const { return rows_[size_t(row)].Path; }
    const TRow& At(int row) const { return rows_[size_t(row)]; }
    // The row as the engine's list and the export take it: paths as bytes.
    TBatchRow Row(int row) const;

    // Appends all of `rows` at once: the view lays itself out once for them.
    void Append(std::vector<TRow>&& rows);
    void Clear();
    // One of the text cells (cCurrentTime to cSHA1, cComputed, cVerdict) of one row, or of
    // every row.
    void SetText(int row, TCell cell, const QString& text);
    void SetTextOfAll(TCell cell, const QString& text);

private:
    std::vector<TRow> rows_;
};
