// The last check before a file is replaced, for each file SQLite may leave beside it: what could
// be applied to the file refuses the replacement (even where the file itself looks unchanged),
// what never could is removed.

#include "sidecars.h"

#include <filesystem>

#include "engine_fixture.h"

namespace enginetest {
namespace {

namespace fs = std::filesystem;

class SidecarsTest : public EngineTest {};

TEST_F(SidecarsTest, LastCheckRefusesWhatCouldBeAppliedAndRemovesTheRest) {
    // A journal header as SQLite writes it when it does not sync: every page after it is rolled back.
    const std::string hotHeader =
        std::string("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7\xff\xff\xff\xff", 12) + std::string(16, '\0');
    const std::string file = freshFile();
    struct Case {
        const char* name;
        const char* suffix;
        std::string bytes;
        bool replaceable;
    };
    for (const Case& c : {Case{"a write-ahead log, even an empty one", "-wal", "", false},
                          Case{"a journal SQLite would roll back", "-journal", hotHeader, false},
                          Case{"an empty journal (TRUNCATE mode)", "-journal", "", true},
                          Case{"a zeroed journal (PERSIST mode)", "-journal", std::string(512, '\0'), true},
                          Case{"an index without its log", "-shm", std::string(32768, '\0'), true}}) {
        SCOPED_TRACE(c.name);
        testsupport::writeBytes(file + c.suffix, c.bytes);
        EXPECT_EQ(engine::ClearSidecarsForReplacement(file), c.replaceable);
        EXPECT_EQ(fs::exists(file + c.suffix), !c.replaceable);
        fs::remove(file + c.suffix);
    }
}

}  // namespace
}  // namespace enginetest
