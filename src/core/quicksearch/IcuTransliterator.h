#pragma once

#include <QString>

#include <unicode/uversion.h>

#include <memory>
#include <mutex>

U_NAMESPACE_BEGIN
class Transliterator;
U_NAMESPACE_END

namespace quicksearch {

// One ICU transliterator, owned, that several threads may use: ICU's objects are not safe
// for concurrent use, so each call holds a lock.
class IcuTransliterator
{
public:
    // An ICU compound id such as "Han-Latin; Latin-ASCII". An id ICU does not know (or data it
    // lacks) gives an invalid object that returns its input unchanged.
    explicit IcuTransliterator(const QString &id);
    ~IcuTransliterator();
    IcuTransliterator(const IcuTransliterator &) = delete;
    IcuTransliterator &operator=(const IcuTransliterator &) = delete;

    bool isValid() const { return bool(m_transliterator); }
    QString transliterate(const QString &text) const;

private:
    std::unique_ptr<icu::Transliterator> m_transliterator;
    mutable std::mutex m_mutex;
};

} // namespace quicksearch
