#include "platform/linux/system_error.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <locale.h>

#include "platform/files.h"
#include "platform/platform_texts.h"

namespace torvic {
namespace {

// The C library's own Catalan messages, where the system has a Catalan locale.
locale_t catalanMessages() {
    static const locale_t locale = [] {
        for (const char* name : {"ca_ES.UTF-8", "ca_ES.utf8", "ca_AD.UTF-8", "ca_FR.UTF-8", "ca_IT.UTF-8"})
            if (locale_t l = newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, name, nullptr)) return l;
        return locale_t{};
    }();
    return locale;
}

// The errors file and process operations meet, for systems without one.
struct CatalanText {
    int code;
    const char* text;  // UTF-8
};
constexpr CatalanText kTexts[] = {
    {EPERM, "L'operació no és permesa"},
    {ENOENT, "El fitxer o la carpeta no existeix"},
    {EIO, "Error d'entrada/sortida"},
    {ENXIO, "El dispositiu o l'adreça no existeix"},
    {E2BIG, "La llista d'arguments és massa llarga"},
    {ENOEXEC, "Format d'executable incorrecte"},
    {EBADF, "Descriptor de fitxer incorrecte"},
    {ENOMEM, "No hi ha prou memòria"},
    {EACCES, "Permís denegat"},
    {EBUSY, "El dispositiu o el recurs està ocupat"},
    {EEXIST, "El fitxer ja existeix"},
    {EXDEV, "Enllaç entre dispositius diferents"},
    {ENOTDIR, "No és una carpeta"},
    {EISDIR, "És una carpeta"},
    {EINVAL, "Argument no vàlid"},
    {ENFILE, "Hi ha massa fitxers oberts al sistema"},
    {EMFILE, "Hi ha massa fitxers oberts"},
    {ETXTBSY, "El fitxer executable està ocupat"},
    {EFBIG, "El fitxer és massa gran"},
    {ENOSPC, "No queda espai al dispositiu"},
    {ESPIPE, "Desplaçament no permès"},
    {EROFS, "Sistema de fitxers només de lectura"},
    {EMLINK, "Hi ha massa enllaços"},
    {EPIPE, "La canonada s'ha trencat"},
    {ENAMETOOLONG, "El nom del fitxer és massa llarg"},
    {ENOTEMPTY, "La carpeta no és buida"},
    {ELOOP, "Hi ha massa nivells d'enllaços simbòlics"},
    {EDQUOT, "S'ha excedit la quota de disc"},
    {ESTALE, "El fitxer de xarxa ja no és vàlid"},
    {ETIMEDOUT, "S'ha esgotat el temps d'espera de la connexió"},
    {EAGAIN, "El recurs no està disponible temporalment"},
    {EINTR, "La crida s'ha interromput"},
};

}  // namespace

std::string systemErrorText(int code) {
    if (locale_t ca = catalanMessages()) {
        // Only a text the Catalan catalogue translated: otherwise it is English.
        const std::string translated = strerror_l(code, ca);
        static const locale_t plain = newlocale(LC_ALL_MASK, "C", nullptr);
        const std::string english = plain ? strerror_l(code, plain) : std::strerror(code);
        if (translated != english) return shownName(translated);
    }
    for (const CatalanText& t : kTexts)
        if (t.code == code) return L1252(t.text);
    return platform_texts::systemError(code, shownName(std::strerror(code)));
}

}  // namespace torvic
