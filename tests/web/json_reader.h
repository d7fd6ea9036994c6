#pragma once
// A small JSON reader for the tests of the web view: objects, arrays, strings (with \u
// escapes made UTF-8), numbers, true, false, null. Fails with an exception on anything else.
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tableau::test {

struct ValoreJson {
    using Oggetto = std::map<std::string, ValoreJson>;
    using Lista = std::vector<ValoreJson>;
    std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<Lista>,
                 std::shared_ptr<Oggetto>>
        valore;

    const ValoreJson& operator[](const std::string& chiave) const {
        return std::get<std::shared_ptr<Oggetto>>(valore)->at(chiave);
    }
    const ValoreJson& operator[](std::size_t i) const {
        return std::get<std::shared_ptr<Lista>>(valore)->at(i);
    }
    std::size_t size() const { return std::get<std::shared_ptr<Lista>>(valore)->size(); }
    const std::string& testo() const { return std::get<std::string>(valore); }
    long numero() const { return static_cast<long>(std::get<double>(valore)); }
    bool nullo() const { return std::holds_alternative<std::nullptr_t>(valore); }
};

class LettoreJson {
  public:
    explicit LettoreJson(std::string_view testo) : t_(testo) {}

    ValoreJson leggi() {
        ValoreJson v = valore();
        spazi();
        if (p_ != t_.size()) {
            throw std::runtime_error("JSON: testo dopo la fine");
        }
        return v;
    }

  private:
    void spazi() {
        while (p_ < t_.size() &&
               (t_[p_] == ' ' || t_[p_] == '\n' || t_[p_] == '\r' || t_[p_] == '\t')) {
            ++p_;
        }
    }
    char atteso(char c) {
        spazi();
        if (p_ >= t_.size() || t_[p_] != c) {
            throw std::runtime_error(std::string("JSON: atteso ") + c);
        }
        return t_[p_++];
    }
    ValoreJson valore() {
        spazi();
        if (p_ >= t_.size()) {
            throw std::runtime_error("JSON: fine inattesa");
        }
        const char c = t_[p_];
        if (c == '{') {
            ++p_;
            auto oggetto = std::make_shared<ValoreJson::Oggetto>();
            spazi();
            if (t_[p_] == '}') {
                ++p_;
                return {oggetto};
            }
            do {
                spazi();
                const std::string chiave = stringa();
                atteso(':');
                (*oggetto)[chiave] = valore();
                spazi();
            } while (t_[p_++] == ',');
            if (t_[p_ - 1] != '}') {
                throw std::runtime_error("JSON: atteso }");
            }
            return {oggetto};
        }
        if (c == '[') {
            ++p_;
            auto lista = std::make_shared<ValoreJson::Lista>();
            spazi();
            if (t_[p_] == ']') {
                ++p_;
                return {lista};
            }
            do {
                lista->push_back(valore());
                spazi();
            } while (t_[p_++] == ',');
            if (t_[p_ - 1] != ']') {
                throw std::runtime_error("JSON: atteso ]");
            }
            return {lista};
        }
        if (c == '"') {
            return {stringa()};
        }
        for (const auto& [parola, v] : {std::pair<std::string_view, ValoreJson>{"true", {true}},
                                        {"false", {false}},
                                        {"null", {nullptr}}}) {
            if (t_.substr(p_, parola.size()) == parola) {
                p_ += parola.size();
                return v;
            }
        }
        std::size_t letti = 0;
        const double numero = std::stod(std::string(t_.substr(p_)), &letti);
        p_ += letti;
        return {numero};
    }
    std::string stringa() {
        atteso('"');
        std::string testo;
        while (p_ < t_.size() && t_[p_] != '"') {
            char c = t_[p_++];
            if (static_cast<unsigned char>(c) < 0x20) {
                throw std::runtime_error("JSON: carattere di controllo in una stringa");
            }
            if (c != '\\') {
                testo += c;
                continue;
            }
            c = t_[p_++];
            switch (c) {
                case 'n':
                    testo += '\n';
                    break;
                case 't':
                    testo += '\t';
                    break;
                case 'r':
                    testo += '\r';
                    break;
                case 'b':
                    testo += '\b';
                    break;
                case 'f':
                    testo += '\f';
                    break;
                case 'u': {
                    const unsigned codice = static_cast<unsigned>(
                        std::stoul(std::string(t_.substr(p_, 4)), nullptr, 16));
                    p_ += 4;
                    if (codice < 0x80) {
                        testo += static_cast<char>(codice);
                    } else if (codice < 0x800) {
                        testo += static_cast<char>(0xC0 | (codice >> 6));
                        testo += static_cast<char>(0x80 | (codice & 0x3F));
                    } else {
                        testo += static_cast<char>(0xE0 | (codice >> 12));
                        testo += static_cast<char>(0x80 | ((codice >> 6) & 0x3F));
                        testo += static_cast<char>(0x80 | (codice & 0x3F));
                    }
                    break;
                }
                default:
                    testo += c;
            }
        }
        atteso('"');
        return testo;
    }

    std::string_view t_;
    std::size_t p_ = 0;
};

}  // namespace tableau::test
