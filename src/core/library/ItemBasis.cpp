#include "core/library/ItemBasis.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace library {

namespace {

struct Field {
    const char *key;
    const char16_t *caption;
    QString tariff::TariffRecord::*member;
};

const Field kFields[] = {
    {"name", u"名称", &tariff::TariffRecord::name},
    {"unit1", u"第一法定单位", &tariff::TariffRecord::unit1},
    {"unit2", u"第二法定单位", &tariff::TariffRecord::unit2},
    {"mfn", u"最惠国税率", &tariff::TariffRecord::mfnRate},
    {"provisional", u"暂定税率", &tariff::TariffRecord::provisionalRate},
    {"general", u"普通税率", &tariff::TariffRecord::generalRate},
    {"vat", u"增值税率", &tariff::TariffRecord::vatRate},
    {"consumption", u"消费税率", &tariff::TariffRecord::consumptionTax},
    {"rebate", u"出口退税率", &tariff::TariffRecord::exportRebate},
    {"export", u"出口税率", &tariff::TariffRecord::exportTaxRate},
    {"exportProvisional", u"出口暂定税率", &tariff::TariffRecord::exportProvisionalRate},
    {"supervision", u"监管条件", &tariff::TariffRecord::supervisionConditions},
    {"inspection", u"检验检疫类别", &tariff::TariffRecord::inspectionCategory},
    {"elements", u"申报要素", &tariff::TariffRecord::declarationElements},
};

} // namespace

QString ItemBasis::Change::text() const
{
    const auto shown = [](const QString &v) { return v.isEmpty() ? QStringLiteral("（空）") : v; };
    return QStringLiteral("%1: %2 → %3").arg(field, shown(before), shown(after));
}

QString ItemBasis::of(const tariff::TariffRecord &line)
{
    QJsonObject o;
    for (const Field &f : kFields)
        o.insert(QLatin1String(f.key), (line.*f.member).trimmed());
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QList<ItemBasis::Change> ItemBasis::changes(const QString &basis, const tariff::TariffRecord &now)
{
    QList<Change> changes;
    const QJsonObject kept = QJsonDocument::fromJson(basis.toUtf8()).object();
    for (const Field &f : kFields) {
        const QString key = QLatin1String(f.key);
        if (!kept.contains(key))
            continue;
        const QString before = kept.value(key).toString();
        const QString after = (now.*f.member).trimmed();
        if (before != after)
            changes.append({QString::fromUtf16(f.caption), before, after});
    }
    return changes;
}

} // namespace library
