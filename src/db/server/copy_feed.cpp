#include "db/server/copy_feed.h"

#include "db/errors.h"
#include "db/server/copy_binary.h"

namespace tableau::db::server {
namespace {

// Ends the reading of a feed that is no longer wanted.
struct Stopped {};

}  // namespace

CopyFeed::CopyFeed(const std::vector<SyncSource>& sources)
    : sources_(sources), reader_([this] { read(); }) {}

CopyFeed::~CopyFeed() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    reader_.join();
}

void CopyFeed::put(Piece piece) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return stop_ || waiting_ < kAhead; });
    if (stop_) {
        throw Stopped{};
    }
    waiting_ += piece.data.size();
    pieces_.push_back(std::move(piece));
    lock.unlock();
    changed_.notify_all();
}

void CopyFeed::read() {
    try {
        for (std::size_t t = 0; t < sources_.size(); ++t) {
            const SyncSource& source = sources_[t];
            const std::size_t fields = source.fields.size() + 1;
            std::string data(CopyBinaryHeader());
            data.reserve(kPiece + 4096);
            ReadSyncRows(source, [&](std::size_t place, const std::vector<Value>& row) {
                AppendCopyBinaryRow(data, fields);
                for (std::size_t c = 0; c < row.size(); ++c) {
                    AppendCopyBinaryField(data, source.types[c], row[c]);
                }
                AppendCopyBinaryBigint(data, static_cast<std::int64_t>(place));
                if (data.size() >= kPiece) {
                    put(Piece{t, std::move(data), false});
                    data = std::string();
                    data.reserve(kPiece + 4096);
                }
            });
            data += CopyBinaryEnd();
            put(Piece{t, std::move(data), true});
        }
    } catch (const Stopped&) {
        // nobody waits for the rest
    } catch (...) {
        const std::lock_guard<std::mutex> lock(mutex_);
        failure_ = std::current_exception();
    }
    changed_.notify_all();
}

std::string CopyFeed::next(std::size_t table, bool& last) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return !pieces_.empty() || failure_; });
    if (pieces_.empty()) {
        std::rethrow_exception(failure_);
    }
    Piece piece = std::move(pieces_.front());
    pieces_.pop_front();
    waiting_ -= piece.data.size();
    lock.unlock();
    changed_.notify_all();
    if (piece.table != table) {
        throw ErroreArchivio("Sincronizzazione: righe della tabella " +
                             sources_[piece.table].table + " attese per " + sources_[table].table);
    }
    last = piece.last;
    return std::move(piece.data);
}

}  // namespace tableau::db::server
