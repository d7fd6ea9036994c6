#pragma once
// The system's own texts in Italian, whatever the user's locale: the C library's reasons
// ("File o directory non esistente"), libpq's and those of the programs the commands start
// (lp, the sendmail program), so that no English text ends up inside an Italian message.
namespace tableau::app {

// Called once at the start of main, before anything else: the language of messages is
// Italian (LANGUAGE=it) and, since gettext translates nothing in the C locale, a C or
// POSIX locale of messages becomes C.UTF-8. Only the messages' category changes: numbers,
// dates and collation stay as they were. Without the translations installed (Debian's
// libc-l10n, libpq5) the texts stay English and nothing fails.
void TestiDiSistemaInItaliano();

}  // namespace tableau::app
