#include "batch/BatchRows.h"

int TBatchRows::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Count(); }

int TBatchRows::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cCount; }

namespace {

// The text of a cell that has one; the icon and the two paths are no texts of their own.
template <class Row>
auto CellText(Row& row, TBatchRows::TCell cell) -> decltype(&row.MD5) {
    switch (cell) {
    case TBatchRows::cCurrentTime: return &row.CurrentTime;
    case TBatchRows::cNewTime: return &row.NewTime;
    case TBatchRows::cCRC32: return &row.CRC32;
    case TBatchRows::cMD5: return &row.MD5;
    case TBatchRows::cSize: return &row.Size;
    case TBatchRows::cSHA1: return &row.SHA1;
    case TBatchRows::cComputed: return &row.Computed;
    case TBatchRows::cVerdict: return &row.Verdict;
    default: return nullptr;
    }
}

}  // namespace

QVariant TBatchRows::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) return {};
    const TRow& row = rows_[size_t(index.row())];
    const auto cell = TCell(index.column());
    if (role == Qt::DecorationRole) return cell == cIcon ? QVariant::fromValue(row.Icon) : QVariant();
    if (role != Qt::DisplayRole) return {};
    if (cell == cName) return row.Name.Display();
    if (cell == cPath) return row.Path.Display();
    if (cell == cListKind) return row.ListKind ? QString::fromUtf8(row.ListKind->Label) : QString();
    if (cell == cExpected) return row.Expected;
    const QString* text = CellText(row, cell);
    return text ? QVariant(*text) : QVariant();
}

QVariant TBatchRows::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kCaptions[cCount] = {
        "",                 QT_TR_NOOP("ファイル名："), QT_TR_NOOP("現在のタイムスタンプ"), QT_TR_NOOP("変更後のタイムスタンプ"),
        "CRC32",            "MD5",                      "FileSize",                          "SHA-1",
        "",                 QT_TR_NOOP("種類"),         QT_TR_NOOP("期待値"),                QT_TR_NOOP("計算値"),
        QT_TR_NOOP("結果")};
    return section >= 0 && section < cCount ? tr(kCaptions[section]) : QVariant();
}

TBatchRow TBatchRows::Row(int row) const {
    const TRow& r = rows_[size_t(row)];
    TBatchRow out;
    out.Name = r.Name.Bytes();
    out.CurrentTime = r.CurrentTime.toStdString();
    out.NewTime = r.NewTime.toStdString();
    out.CRC32 = r.CRC32.toStdString();
    out.MD5 = r.MD5.toStdString();
    out.Size = r.Size.toStdString();
    out.SHA1 = r.SHA1.toStdString();
    out.Path = r.Path.Bytes();
    if (r.ListKind) {
        out.ListKind = r.ListKind->Label;
        out.Expected = r.Expected.toStdString();
        out.Computed = r.Computed.toStdString();
        out.Verdict = r.Verdict.toStdString();
    }
    return out;
}

void TBatchRows::Append(std::vector<TRow>&& rows) {
    if (rows.empty()) return;
    beginInsertRows(QModelIndex(), Count(), Count() + int(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
    rows.clear();
}

void TBatchRows::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void TBatchRows::SetText(int row, TCell cell, const QString& text) {
    QString* target = CellText(rows_[size_t(row)], cell);
    if (!target) return;
    *target = text;
    const QModelIndex at = index(row, cell);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

void TBatchRows::SetTextOfAll(TCell cell, const QString& text) {
    if (rows_.empty() || !CellText(rows_.front(), cell)) return;
    for (TRow& row : rows_) *CellText(row, cell) = text;
    emit dataChanged(index(0, cell), index(Count() - 1, cell), {Qt::DisplayRole});
}
