// The last check before a file is replaced, for each file SQLite may leave beside it: what could
// be applied to the file refuses the replacement (even where the file itself looks unchanged),
// what never could is removed. And a journal that SQLite reads on its own word.

#include "database/engine/store/sidecars.h"

#include <filesystem>

#include "database/engine/db_engine.h"
#include "database/engine/engine_fixture.h"

namespace enginetest {
namespace {

namespace fs = std::filesystem;

class SidecarsTest : public EngineTest {};

const std::string kJournalMagic("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
// A journal header as SQLite writes it when it does not sync: every page after it is rolled back.
const std::string kHotHeader = kJournalMagic + std::string("\xff\xff\xff\xff", 4) + std::string(16, '\0');

TEST_F(SidecarsTest, LastCheckRefusesWhatCouldBeAppliedAndRemovesTheRest) {
    const std::string file = freshFile();
    struct Case {
        const char* name;
        const char* suffix;
        std::string bytes;
        bool replaceable;
    };
    for (const Case& c : {Case{"a write-ahead log, even an empty one", "-wal", "", false},
                          Case{"a journal SQLite would roll back", "-journal", kHotHeader, false},
                          Case{"an empty journal (TRUNCATE mode)", "-journal", "", true},
                          Case{"a zeroed journal (PERSIST mode)", "-journal", std::string(512, '\0'), true},
                          Case{"an index without its log", "-shm", std::string(32768, '\0'), true}}) {
        SCOPED_TRACE(c.name);
        testsupport::writeBytes(file + c.suffix, c.bytes);
        EXPECT_EQ(engine::clearSidecarsForReplacement(file), c.replaceable);
        EXPECT_EQ(fs::exists(file + c.suffix), !c.replaceable);
        fs::remove(file + c.suffix);
    }
}

// A journal may end with the name of a super-journal (of a transaction over several files), which
// SQLite reads into a buffer of one page of the file, taking as many bytes as the journal says up
// to the path limit: 4,096 on Linux, 65,534 on Windows. Beside a file of 512-byte pages, such a
// name must still land within the buffer (the sanitized build sees a byte past it).
TEST_F(SidecarsTest, JournalNamingASuperJournalLongerThanAPageIsReadWithinBounds) {
    const std::string file = freshFile();
    ASSERT_EQ(testsupport::runSqlite3({file, "PRAGMA page_size=512; VACUUM"}).exitCode, 0);
    ASSERT_EQ(testsupport::sqlite3Query(file, "PRAGMA page_size"), "512");
    const std::string name(4000, 's');
    // Its length, then a checksum that does not match: the name is read, then set aside, and the
    // header, which names no page, rolls nothing back.
    const std::string length("\x00\x00\x0f\xa0", 4);
    const std::string checksum("\x00\x00\x00\x01", 4);
    testsupport::writeBytes(file + "-journal", kHotHeader + name + length + checksum + kJournalMagic);
    engine::DBEngine::instance().RecoverDatabase(file, connect(kPassword));
    EXPECT_FALSE(fs::exists(file + "-journal"));
    EXPECT_EQ(walkKeys(*open(file), "T").size(), static_cast<std::size_t>(kRows));
}

}  // namespace
}  // namespace enginetest
