// Remembered window positions through 'GWIN' and 'UWIN', and across restarts.
#include <tuple>

#include "ToolManagerTest.h"
#include "core/ByteOrder.h"
#include "kelvane/ToolManagerApp.h"
#include "storage/PrefMan.h"
#include "workspace/GlobalWindowManager.h"
#include "workspace/WindowBox.h"

namespace {
constexpr TypeCode kWorkspace = typeCode("TMAN");
constexpr TypeCode kPaths = typeCode("PTHW");

// 'GWIN''s answer: found, box and id.
using Answer = std::tuple<bool, Rect16, int32_t>;

class WindowPositionTest : public ToolManagerTest {
  protected:
    Answer ask(TypeCode type) {
        auto reply = deliver(newRequest("GWIN", type));
        EXPECT_EQ(reply->paramCount, 4);
        EXPECT_EQ(reply->getParamLength(2), kWindowBoxSize);
        return {reply->getBoolParam(1), decodeWindowBox(reply->getParam(2)),
                reply->getLongParam(3)};
    }

    int32_t report(TypeCode type, Rect16 box, int32_t id, long boxLength = kWindowBoxSize) {
        auto* message = newRequest("UWIN", type);
        uint8_t bytes[kWindowBoxSize];
        encodeWindowBox(box, bytes);
        message->addParam(kParamData, bytes, boxLength);
        message->addLongParam(id);
        return deliver(message)->getLongParam(0);
    }
};

const Rect16 kBoxA = makeRect16(10, 20, 300, 200);
const Rect16 kBoxB = makeRect16(-5, 40, 640, 480);
}  // namespace

TEST_F(WindowPositionTest, FirstRunHandsOutFreshIdsAndRemembersReports) {
    EXPECT_EQ(ask(kWorkspace), Answer(false, Rect16{}, 1));
    EXPECT_EQ(report(kWorkspace, kBoxA, 1), 0);
    EXPECT_EQ(ask(kWorkspace), Answer(true, kBoxA, 1));

    // Id 0 stores a new position under the next id.
    EXPECT_EQ(report(kPaths, kBoxB, 0), 0);
    EXPECT_EQ(ask(kPaths), Answer(true, kBoxB, 2));

    // A box shorter than 8 bytes is refused and stores nothing.
    long before = gGlobalWindowManager->getPositionCount();
    EXPECT_NE(report(kPaths, kBoxB, 9, 3), 0);
    EXPECT_EQ(gGlobalWindowManager->getPositionCount(), before);
}

TEST_F(WindowPositionTest, TwoWindowsOfOneKindGetDifferentPositions) {
    report(kWorkspace, kBoxA, 0);
    manager.restart();
    EXPECT_EQ(ask(kWorkspace), Answer(true, kBoxA, 1));
    EXPECT_EQ(ask(kWorkspace), Answer(false, Rect16{}, 2));
    report(kWorkspace, kBoxA, 1);
    report(kWorkspace, kBoxB, 2);
    EXPECT_EQ(gGlobalWindowManager->getPositionCount(), 2);

    // The most recently closed window's place is handed out first, also
    // after a restart.
    manager.restart();
    EXPECT_EQ(gPreferencesManager->countPreferencesOfType(kWindowPositionRecord).valueOr(-1), 2);
    EXPECT_EQ(ask(kWorkspace), Answer(true, kBoxB, 2));
    EXPECT_EQ(ask(kWorkspace), Answer(true, kBoxA, 1));
    EXPECT_FALSE(std::get<bool>(ask(kWorkspace)));
}

TEST_F(WindowPositionTest, DamagedRecordsAreSkipped) {
    report(kWorkspace, kBoxA, 0);
    manager.stop();
    {
        std::string path = (manager.home.okaDirectory() / "kelvane.prf").string();
        PrefMan damaged(kPreferencesFileType, kPreferencesVersion, path.c_str(), "preferences",
                        true);
        EXPECT_TRUE(damaged.addPreference(kWindowPositionRecord, "short", 5).ok());
        char record[kWindowPositionRecordSize];
        putBigEndian32(reinterpret_cast<uint8_t*>(record), kPaths);
        encodeWindowBox(kBoxB, reinterpret_cast<uint8_t*>(record) + 4);
        EXPECT_TRUE(damaged.addPreference(kWindowPositionRecord, record, sizeof record).ok());
    }
    manager.start();
    EXPECT_EQ(gGlobalWindowManager->getPositionCount(), 2);
    EXPECT_EQ(ask(kPaths), Answer(true, kBoxB, 2));
    EXPECT_EQ(ask(kWorkspace), Answer(true, kBoxA, 1));
}
