#include "web/sessions.h"

#include <sodium.h>

#include <array>

#include "web/users_file.h"

namespace tableau::web {
namespace {

template <std::size_t N>
std::string Esadecimale(const std::array<unsigned char, N>& byte) {
    std::array<char, N * 2 + 1> testo{};
    sodium_bin2hex(testo.data(), testo.size(), byte.data(), byte.size());
    return std::string(testo.data(), N * 2);
}

// A bound on the sessions and addresses held, so that no flood of requests fills memory.
constexpr std::size_t kMassimoVoci = 10000;

}  // namespace

std::string Sessioni::Impronta(std::string_view token) {
    std::array<unsigned char, crypto_generichash_BYTES> impronta{};
    crypto_generichash(impronta.data(), impronta.size(),
                       reinterpret_cast<const unsigned char*>(token.data()), token.size(), nullptr,
                       0);
    return Esadecimale(impronta);
}

std::string Sessioni::apri(std::string_view utente) {
    PreparaSodium();
    std::array<unsigned char, 32> casuale{};
    randombytes_buf(casuale.data(), casuale.size());
    const std::string token = Esadecimale(casuale);
    const auto adesso = Orologio::now();
    const std::lock_guard blocco(mutex_);
    if (sessioni_.size() >= kMassimoVoci) {
        std::erase_if(sessioni_, [&](const auto& voce) { return voce.second.scadenza <= adesso; });
    }
    sessioni_[Impronta(token)] = Sessione{std::string(utente), adesso + durata_};
    return token;
}

std::optional<std::string> Sessioni::utente(std::string_view token) {
    if (token.size() != 64) {
        return std::nullopt;
    }
    const std::string impronta = Impronta(token);
    const std::lock_guard blocco(mutex_);
    const auto trovata = sessioni_.find(impronta);
    if (trovata == sessioni_.end()) {
        return std::nullopt;
    }
    if (trovata->second.scadenza <= Orologio::now()) {
        sessioni_.erase(trovata);
        return std::nullopt;
    }
    return trovata->second.utente;
}

void Sessioni::chiudi(std::string_view token) {
    const std::string impronta = Impronta(token);
    const std::lock_guard blocco(mutex_);
    sessioni_.erase(impronta);
}

bool FrenoAccessi::inAttesa(const std::string& indirizzo) {
    const std::lock_guard blocco(mutex_);
    const auto trovato = conti_.find(indirizzo);
    if (trovato == conti_.end() || !trovato->second.finoA) {
        return false;
    }
    if (*trovato->second.finoA <= Orologio::now()) {
        conti_.erase(trovato);  // the minute is over: the count starts again
        return false;
    }
    return true;
}

bool FrenoAccessi::errore(const std::string& indirizzo) {
    const auto adesso = Orologio::now();
    const std::lock_guard blocco(mutex_);
    if (conti_.size() >= kMassimoVoci && !conti_.contains(indirizzo)) {
        std::erase_if(conti_, [&](const auto& voce) {
            return !voce.second.finoA || *voce.second.finoA <= adesso;
        });
    }
    Conto& conto = conti_[indirizzo];
    if (++conto.errori >= tentativi_) {
        conto.finoA = adesso + attesa_;
        return true;
    }
    return false;
}

void FrenoAccessi::riuscito(const std::string& indirizzo) {
    const std::lock_guard blocco(mutex_);
    conti_.erase(indirizzo);
}

}  // namespace tableau::web
