#include "core/quicksearch/IcuTransliterator.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace quicksearch {

IcuTransliterator::IcuTransliterator(const QString &id)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString icuId(reinterpret_cast<const UChar *>(id.utf16()), int32_t(id.size()));
    m_transliterator.reset(icu::Transliterator::createInstance(icuId, UTRANS_FORWARD, status));
    if (U_FAILURE(status))
        m_transliterator.reset();
}

IcuTransliterator::~IcuTransliterator() = default;

QString IcuTransliterator::transliterate(const QString &text) const
{
    if (!m_transliterator || text.isEmpty())
        return text;
    icu::UnicodeString buffer(reinterpret_cast<const UChar *>(text.constData()), int32_t(text.size()));
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_transliterator->transliterate(buffer);
    }
    return QString(reinterpret_cast<const QChar *>(buffer.getBuffer()), buffer.length());
}

} // namespace quicksearch
