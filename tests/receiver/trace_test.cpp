// The program's trace over the HID seam, on the virtual receiver: the same lines a user's trace of
// real hardware holds.
#include "common/trace.h"
#include "receiver/cmd_pipe.h"
#include "rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace pw {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class Trace : public ::testing::Test {
protected:
    void TearDown() override {
        trace::Stop();
        std::error_code ignored;
        fs::remove(m_file, ignored);
    }
    std::vector<std::string> Lines() const {
        std::ifstream in(m_file);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    fs::path m_file =
        fs::temp_directory_path() /
        ("pw_trace_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".txt");
};

TEST_F(Trace, OffWritesNothingAndOnStampsWholeLinesFromEveryThread) {
    trace::Write("test", "never");
    ASSERT_TRUE(trace::Start(m_file));
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([t] {
            for (int i = 0; i < 200; ++i)
                trace::Write("test", "writer " + std::to_string(t) + " line " + std::to_string(i));
        });
    for (auto& w : writers)
        w.join();
    trace::Stop();
    trace::Write("test", "after");

    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 800u);
    for (const std::string& line : lines) {
        std::istringstream fields(line);
        long long stamp = -1;
        std::string category, writer;
        fields >> stamp >> category >> writer;
        EXPECT_GT(stamp, 0);
        EXPECT_EQ(category, "test");
        EXPECT_EQ(writer, "writer") << line;
    }
}

TEST_F(Trace, CommandsAndTheirRepliesAreTracedInHex) {
    test::ReceiverRig rig;
    ASSERT_TRUE(trace::Start(m_file));
    CCmdPipe pipe;
    ASSERT_TRUE(pipe.Open(rig.receiver.CommandPath()));
    EXPECT_GT(pipe.QuerySlotCount(), -1);
    trace::Stop();

    const auto lines = Lines();
    std::string all;
    for (const auto& l : lines)
        all += l + "\n";
    EXPECT_THAT(all, HasSubstr(" hid open "));
    EXPECT_THAT(all, HasSubstr(" hid set-feature " + trace::Narrow(rig.receiver.CommandPath()) + " 0802"));
    EXPECT_THAT(all, HasSubstr(" hid get-feature "));
    EXPECT_THAT(all, HasSubstr(" bus set-feature ")) << "the virtual receiver's own log joins the trace";
}

} // namespace
} // namespace pw
