#include "core/edition/EditionLine.h"

namespace edition {

namespace {
struct FieldInfo {
    const char *column;
    const char16_t *label;
    ChangeKind kind;
};

const FieldInfo kFields[kFieldCount] = {
    {"name_cn", u"名称", ChangeKind::Renamed},
    {"unit1", u"第一法定单位", ChangeKind::Unit},
    {"unit2", u"第二法定单位", ChangeKind::Unit},
    {"mfn_rate", u"最惠国税率", ChangeKind::Rate},
    {"provisional_rate", u"暂定税率", ChangeKind::Rate},
    {"general_rate", u"普通税率", ChangeKind::Rate},
    {"vat_rate", u"增值税率", ChangeKind::Rate},
    {"consumption_tax", u"消费税率", ChangeKind::Rate},
    {"export_rebate_rate", u"出口退税率", ChangeKind::Rate},
    {"export_tax_rate", u"出口税率", ChangeKind::Rate},
    {"export_provisional_rate", u"出口暂定税率", ChangeKind::Rate},
    {"supervision_conditions", u"监管条件", ChangeKind::Supervision},
    {"inspection_category", u"检验检疫类别", ChangeKind::Inspection},
    {"declaration_elements", u"申报要素", ChangeKind::Elements},
};

const char16_t *const kKindLabels[kChangeKindCount] = {
    u"新增",         u"删除", u"名称变更", u"税率变更", u"单位变更", u"监管条件变更", u"检验检疫变更",
    u"申报要素变更", u"章",   u"机电标志变更",
};
} // namespace

ChangeKind kindOf(Field field)
{
    return kFields[int(field)].kind;
}

QString sourceColumn(Field field)
{
    return QString::fromLatin1(kFields[int(field)].column);
}

QString fieldLabel(Field field)
{
    return QString::fromUtf16(kFields[int(field)].label);
}

QString kindLabel(ChangeKind kind)
{
    return QString::fromUtf16(kKindLabels[int(kind)]);
}

} // namespace edition
