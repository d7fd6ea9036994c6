#include "web/html_text.h"

#include <cstdio>

#include "routines/codepage.h"
#include "routines/text.h"

namespace tableau::web {

std::string Html(std::string_view utf8) {
    std::string testo;
    testo.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '&':
                testo += "&amp;";
                break;
            case '<':
                testo += "&lt;";
                break;
            case '>':
                testo += "&gt;";
                break;
            case '"':
                testo += "&quot;";
                break;
            case '\'':
                testo += "&#39;";
                break;
            default:
                testo += c;
        }
    }
    return testo;
}

std::string HtmlCp1252(std::string_view cp1252) {
    return Html(routines::InUtf8(routines::TogliSpazi(cp1252)));
}

std::string Json(std::string_view utf8) {
    std::string testo = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            testo += '\\';
            testo += c;
        } else if (byte < 0x20 || c == '<' || byte == 0x7F) {
            char codice[8];
            std::snprintf(codice, sizeof codice, "\\u%04x", byte);
            testo += codice;
        } else {
            testo += c;
        }
    }
    return testo + '"';
}

namespace {

int Cifra(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string DecodificaUrl(std::string_view testo) {
    std::string decodificato;
    decodificato.reserve(testo.size());
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const char c = testo[i];
        if (c == '+') {
            decodificato += ' ';
        } else if (c == '%' && i + 2 < testo.size() && Cifra(testo[i + 1]) >= 0 &&
                   Cifra(testo[i + 2]) >= 0) {
            decodificato += static_cast<char>(Cifra(testo[i + 1]) * 16 + Cifra(testo[i + 2]));
            i += 2;
        } else {
            decodificato += c;
        }
    }
    return decodificato;
}

std::map<std::string, std::string, std::less<>> CampiModulo(std::string_view corpo) {
    std::map<std::string, std::string, std::less<>> campi;
    while (!corpo.empty()) {
        const auto fine = corpo.find('&');
        const std::string_view coppia = corpo.substr(0, fine);
        corpo = fine == std::string_view::npos ? std::string_view() : corpo.substr(fine + 1);
        const auto uguale = coppia.find('=');
        const std::string nome = DecodificaUrl(coppia.substr(0, uguale));
        const std::string valore = uguale == std::string_view::npos
                                       ? std::string()
                                       : DecodificaUrl(coppia.substr(uguale + 1));
        campi.emplace(nome, valore);
    }
    return campi;
}

}  // namespace tableau::web
