// Text helpers shared inside the utility library.
#include "helvane/TextUtil.h"

namespace helvane {

std::wstring ToUpperAscii(std::wstring_view text)
{
    std::wstring upper(text);
    for (wchar_t& c : upper)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return upper;
}

} // namespace helvane
