#pragma once

#include <QDateTime>
#include <QString>

namespace library {

// One of the company's own goods with its classification: what a declarant looks up again at
// every shipment of the same part number.
struct Item {
    QString partNumber;    // 料号, unique
    QString name;          // 品名
    QString model;         // 规格型号 note
    QString code;          // a 10-digit customs code of list_hscode
    QString elementValues; // the filled declaration elements, joined by "|" in their order
    QString reason;        // 归类依据
    // The tariff line as it stood when the item was classified or last reviewed (ItemBasis),
    // and what a later edition changed in it; empty when nothing waits for review.
    QString basis;
    QString reviewChanges;
    QString reviewedBy;
    QDateTime reviewedAt;
    QString changedBy;
    QDateTime changedAt;
    int version = 0; // 1 at the first save, one more with each save

    bool needsReview() const { return !reviewChanges.isEmpty(); }
};

// The time of a change as stored: ISO 8601 local time with its offset from UTC, so that the
// times of colleagues in other time zones still compare.
inline QString stampNow()
{
    const QDateTime t = QDateTime::currentDateTime();
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace library
