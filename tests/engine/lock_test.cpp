// Files held by another process.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "engine_fixture.h"

namespace enginetest {
namespace {

using engine::ErrorCode;

// A sqlite3 CLI process that holds `path` under BEGIN EXCLUSIVE until destroyed.
class ExclusiveHolder {
public:
    explicit ExclusiveHolder(const std::string& path) {
        int input[2];
        int output[2];
        if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(input[0], 0);
            ::dup2(output[1], 1);
            ::dup2(output[1], 2);
            ::execl("/usr/bin/sqlite3", "sqlite3", path.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(input[0]);
        ::close(output[1]);
        input_ = input[1];
        output_ = output[0];
        const std::string script = ".bail on\nBEGIN EXCLUSIVE;\nSELECT 'held';\n";
        if (::write(input_, script.data(), script.size()) != static_cast<ssize_t>(script.size())) return;
        std::string answer;
        char buffer[256];
        ssize_t n = 0;
        while (answer.find("held\n") == std::string::npos && (n = ::read(output_, buffer, sizeof buffer)) > 0)
            answer.append(buffer, static_cast<std::size_t>(n));
        held_ = answer.find("held\n") != std::string::npos;
    }
    ~ExclusiveHolder() {
        ::close(input_);  // end of input: the CLI rolls back and exits
        ::close(output_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    ExclusiveHolder(const ExclusiveHolder&) = delete;
    ExclusiveHolder& operator=(const ExclusiveHolder&) = delete;

    bool held() const { return held_; }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    bool held_ = false;
};

class LockTest : public EngineTest {};

TEST_F(LockTest, FileHeldByAnotherProcess) {
    const std::string file = freshFile();
    {
        const ExclusiveHolder holder(file);
        ASSERT_TRUE(holder.held());
        for (const bool readOnly : {true, false}) {
            const engine::EngineError error = errorOf([&] { open(file, kPassword, readOnly); });
            EXPECT_EQ(error.code(), ErrorCode::FileLocked);
            EXPECT_NE(error.description().find(file), std::string::npos);
        }
        EXPECT_EQ(errorOf([&] {
                      engine::DBEngine::instance().CompactDatabase(file, path("copy.mdb"), "", 0, connect(kPassword));
                  }).code(),
                  ErrorCode::FileLocked);
        EXPECT_FALSE(std::filesystem::exists(path("copy.mdb")));
    }
    EXPECT_EQ(open(file)->TableDefs().Item("T").RecordCount(), kRows);
}

}  // namespace
}  // namespace enginetest
