#pragma once
// The rows of the surveyed tables in COPY's binary form, read by a thread of their own a
// bounded way ahead of the copy: the files are read and the rows checked and converted
// while the server takes the previous rows, builds the previous table's indexes or
// gathers its statistics. No more than kAhead bytes wait at any time, whatever the
// tables' length.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "db/server/sync_source.h"

namespace tableau::db::server {

class CopyFeed {
  public:
    static constexpr std::size_t kPiece = std::size_t{1} << 18;
    static constexpr std::size_t kAhead = std::size_t{64} << 20;

    // Starts reading the sources in their order (ReadSyncRows).
    explicit CopyFeed(const std::vector<SyncSource>& sources);
    // Stops the reading where it is.
    ~CopyFeed();
    CopyFeed(const CopyFeed&) = delete;
    CopyFeed& operator=(const CopyFeed&) = delete;

    // The next piece of the copy data of the source `table`, which must be the one being
    // read, in order (the first piece opens with the binary header, the last ends with the
    // end mark); `last` tells when it is its last. Throws the reading's failure
    // (ErroreArchivio naming file, table, field and row).
    std::string next(std::size_t table, bool& last);

  private:
    struct Piece {
        std::size_t table;
        std::string data;
        bool last;
    };
    void read();
    void put(Piece piece);

    const std::vector<SyncSource>& sources_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Piece> pieces_;
    std::size_t waiting_ = 0;  // bytes in pieces_
    std::exception_ptr failure_;
    bool stop_ = false;
    std::thread reader_;
};

}  // namespace tableau::db::server
