#include "platform/text/icu_unicode_rules.h"

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace platter {

namespace {

icu::UnicodeString composedForm(const icu::UnicodeString& s) {
    UErrorCode status = U_ZERO_ERROR;
    const auto* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return s;
    auto out = nfc->normalize(s, status);
    return U_FAILURE(status) ? s : out;
}

bool isPunctuation(UChar32 c) {
    constexpr auto mask = U_GC_PC_MASK | U_GC_PD_MASK | U_GC_PS_MASK | U_GC_PE_MASK | U_GC_PI_MASK |
                          U_GC_PF_MASK | U_GC_PO_MASK;
    return (U_GET_GC_MASK(c) & mask) != 0;
}

} // namespace

std::string IcuUnicodeRules::composed(std::string_view utf8) const {
    std::string out;
    composedForm(
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size()))))
        .toUTF8String(out);
    return out;
}

std::string IcuUnicodeRules::sortKey(std::string_view utf8) const {
    auto upper =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    // The root locale: the same key whatever the user's language (no Turkish dotted I).
    upper.toUpper(icu::Locale::getRoot());
    icu::UnicodeString kept;
    for (int32_t i = 0; i < upper.length();) {
        const UChar32 c = upper.char32At(i);
        if (!isPunctuation(c)) kept.append(c);
        i += U16_LENGTH(c);
    }
    std::string out;
    composedForm(kept).toUTF8String(out);
    return out;
}

std::string IcuUnicodeRules::lowerCase(std::string_view utf8) const {
    auto text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    text.toLower(icu::Locale::getRoot());
    std::string out;
    text.toUTF8String(out);
    return out;
}

std::string IcuUnicodeRules::searchFolded(std::string_view utf8) const {
    auto text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    // Folding first: a folded letter may decompose further ("İ" to "i" and a dot above).
    text.foldCase(U_FOLD_CASE_DEFAULT);
    UErrorCode status = U_ZERO_ERROR;
    const auto* nfkd = icu::Normalizer2::getNFKDInstance(status);
    if (U_SUCCESS(status)) {
        auto decomposed = nfkd->normalize(text, status);
        if (U_SUCCESS(status)) text = std::move(decomposed);
    }
    icu::UnicodeString kept;
    for (int32_t i = 0; i < text.length();) {
        const UChar32 c = text.char32At(i);
        if ((U_GET_GC_MASK(c) & U_GC_MN_MASK) == 0) kept.append(c);
        i += U16_LENGTH(c);
    }
    std::string out;
    composedForm(kept).toUTF8String(out);
    return out;
}

} // namespace platter
