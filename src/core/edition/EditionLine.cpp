#include "core/edition/EditionLine.h"

namespace edition {

namespace {
// What a change of each field is, in the order of the fields.
const ChangeKind kKinds[kFieldCount] = {
    ChangeKind::Renamed, ChangeKind::Unit,        ChangeKind::Unit,       ChangeKind::Rate,     ChangeKind::Rate,
    ChangeKind::Rate,    ChangeKind::Rate,        ChangeKind::Rate,       ChangeKind::Rate,     ChangeKind::Rate,
    ChangeKind::Rate,    ChangeKind::Supervision, ChangeKind::Inspection, ChangeKind::Elements,
};

const char16_t *const kKindLabels[kChangeKindCount] = {
    u"新增",         u"删除", u"名称变更", u"税率变更", u"单位变更", u"监管条件变更", u"检验检疫变更",
    u"申报要素变更", u"章",   u"机电标志变更",
};
} // namespace

ChangeKind kindOf(Field field)
{
    return kKinds[int(field)];
}

QString kindLabel(ChangeKind kind)
{
    return QString::fromUtf16(kKindLabels[int(kind)]);
}

} // namespace edition
