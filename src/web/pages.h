#pragma once
// The web view's pages, Italian, UTF-8: the hotels and their blocks, the week's chart as a
// table (the PDF's fills and legend), the same chart as JSON, the login form, the error
// page, and the one style sheet they all use (served at kPercorsoStile: the pages carry no
// inline style, as the Content-Security-Policy forbids it). Every text is escaped.
#include <string>
#include <string_view>
#include <vector>

#include "chart/block_check.h"
#include "web/chart_view.h"

namespace tableau::web {

inline constexpr std::string_view kPercorsoStile = "/stile.css";

// "/": every hotel with its blocks and their rooms, each linking to its chart of this week.
std::string PaginaAlberghi(const std::vector<chart::AlbergoElencato>& alberghi,
                           std::string_view utente);

// "/tableau": the week's chart, block after block, with the links to the previous and the
// next week and to this week.
std::string PaginaHtml(const PaginaTableau& pagina, std::string_view utente);

// "/api/tableau": the same data as JSON: hotel, days, blocks with rooms, cells and totals.
std::string PaginaJson(const PaginaTableau& pagina);

// The login form, with a message above it when one is given (UTF-8).
std::string PaginaAccesso(std::string_view messaggio);

// A page that says what went wrong (UTF-8), with a link back to the hotels.
std::string PaginaErrore(std::string_view titolo, std::string_view messaggio);

std::string FoglioStile();

// The link of a week's chart: "/tableau?hotel=1&tableau=2&data=16/03/2026" (no tableau:
// every block of the hotel); not escaped for HTML.
std::string IndirizzoTableau(std::int16_t hotel, std::optional<std::int16_t> tableau,
                             const std::optional<routines::Data>& data);

}  // namespace tableau::web
