#pragma once
// Texts of the web pages: the core's Windows-1252 made UTF-8 and escaped for HTML or JSON,
// and the query and form fields of a request read back.
#include <map>
#include <string>
#include <string_view>

namespace tableau::web {

// The five characters HTML gives a meaning (& < > " ') written as references; the text is
// UTF-8 already.
std::string Html(std::string_view utf8);

// A Windows-1252 text of the core, trimmed, made UTF-8 and escaped for HTML.
std::string HtmlCp1252(std::string_view cp1252);

// A JSON string literal, quotes included, of a UTF-8 text: every control character escaped,
// and "<" too so that the text never closes a script element.
std::string Json(std::string_view utf8);

// Percent-decoding of a query or form value ("+" is a blank). A malformed escape is kept
// as it is.
std::string DecodificaUrl(std::string_view testo);

// The fields of an application/x-www-form-urlencoded body, decoded; the first of a name wins.
std::map<std::string, std::string, std::less<>> CampiModulo(std::string_view corpo);

}  // namespace tableau::web
