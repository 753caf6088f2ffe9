// Window records, in the Tool Manager and in a tool.
#include "ToolManagerTest.h"
#include "tools/Environment.h"
#include "workspace/GlobalWindowManager.h"
#include "workspace/WindowLayer.h"
#include "workspace/WindowManager.h"

namespace {
// The windows told of their activation (1) or deactivation (0), in order.
using Activations = std::vector<std::pair<WinObj*, int>>;
Activations activations;
int sourceActivations = 0;
int sourceDeactivations = 0;

void recordActivation(WinObj* window, TButObj*, unsigned char active) {
    activations.emplace_back(window, active);
}

int32_t countSourceMessages(Message* message, Message*) {
    (message->type == typeCode("ASRC") ? sourceActivations : sourceDeactivations)++;
    return 0;
}

WinObj* newWindow(Rect16 box) {
    auto* window = new WinObj;
    window->box = box;
    return window;
}

// The Tool Manager's window manager, with the positions it remembers.
class WindowManagerTest : public ToolManagerTest {
  protected:
    WindowManagerTest() {
        activations.clear();
        sourceActivations = sourceDeactivations = 0;
    }
};

// A tool's window manager, in an environment joined as a tool joins it.
class ToolWindowManagerTest : public ::testing::Test {
  protected:
    ToolWindowManagerTest() {
        setenv("OKA", home.path().c_str(), 1);
        installWindowLayer();
        EXPECT_EQ(initializeGlobals("windowtest", 0), 0);
        activations.clear();
    }
    ~ToolWindowManagerTest() override {
        cleanUpGlobals();
        setWindowLayerHooks({});
        unsetenv("OKA");
    }

    TempHome home;
};

const Rect16 kRemembered = makeRect16(100, 50, 400, 300);
const Rect16 kResource = makeRect16(0, 0, 200, 100);
}  // namespace

TEST_F(WindowManagerTest, AppliesPositionsAndReportsThemOnEveryRemovalCloseAllIncluded) {
    int32_t rememberedId = gGlobalWindowManager->newPositionId();
    gGlobalWindowManager->updateWindowPosition(typeCode("PTHW"), &kRemembered, rememberedId);
    WinObj* paths = newWindow(kResource);
    WindowRec* record = gWindowManager->addWindowRec(typeCode("PTHW"), paths, nullptr, nullptr);
    EXPECT_EQ(paths->box, kRemembered);
    EXPECT_EQ(record->positionId, rememberedId);

    // No remembered place: the window keeps its geometry but gets an id.
    WinObj* find = newWindow(kResource);
    record = gWindowManager->addWindowRec(typeCode("FSCW"), find, nullptr, nullptr);
    EXPECT_EQ(find->box, kResource);
    EXPECT_EQ(record->positionId, rememberedId + 1);
    EXPECT_TRUE(gWindowManager->windowTypeExists(typeCode("FSCW")));

    // Removal reports the box the window has now.
    find->box = makeRect16(30, 30, 250, 120);
    delete gWindowManager->removeWindowRec(find);
    Rect16 box;
    int32_t id;
    ASSERT_TRUE(gGlobalWindowManager->getWindowPosition(typeCode("FSCW"), &box, &id));
    EXPECT_EQ(std::pair(box, id), std::pair(makeRect16(30, 30, 250, 120), rememberedId + 1));

    long positions = gGlobalWindowManager->getPositionCount();
    EXPECT_EQ(gWindowManager->removeWindowRec(find), nullptr);
    EXPECT_EQ(gGlobalWindowManager->getPositionCount(), positions);
    WIN_TerminateGetStatus(find);

    // 'CWIN' destroys every window, also those that remove their own record.
    WinObj* plain = newWindow(kResource);
    WinObj* selfRemoving = newWindow(kResource);
    RES_SetNfyProcDS(
        selfRemoving,
        +[](WinObj* window, int code) {
            if (code == kNfyWindowDestroyed) delete gWindowManager->removeWindowRec(window);
            WIN_DefNfy(window, code);
        },
        0);
    gWindowManager->addWindowRec(typeCode("ADDW"), plain, nullptr, nullptr);
    gWindowManager->addWindowRec(typeCode("LFLT"), selfRemoving, nullptr, nullptr);
    gWindowManager->setAllWindowsVisibility(false, false);
    EXPECT_TRUE(plain->minimized);
    gWindowManager->setAllWindowsVisibility(true, false);
    EXPECT_TRUE(plain->shown);
    EXPECT_EQ(deliver(new Message(typeCode("CWIN"), nullptr))->getLongParam(0), 0);
    for (TypeCode type : {typeCode("PTHW"), typeCode("ADDW"), typeCode("LFLT")})
        EXPECT_FALSE(gWindowManager->windowTypeExists(type)) << TypeIdentToCStr(type);
    EXPECT_TRUE(gGlobalWindowManager->getWindowPosition(typeCode("LFLT"), &box, &id));
}

TEST_F(WindowManagerTest, SourceWindowsActivateOneAtATime) {
    MessageTemplate none;  // the 'ASRC' and 'DSRC' that reach the Tool Manager are counted
    for (TypeCode type : {typeCode("ASRC"), typeCode("DSRC")}) {
        gMessageCenter->removeMessageHandler(type);
        gMessageCenter->registerMessageHandler(type, &none, countSourceMessages);
    }
    TButObj firstButton, secondButton;
    WinObj* first = newWindow(kResource);
    WinObj* second = newWindow(kResource);
    gWindowManager->addWindowRec(kSourceWindowType, first, &firstButton, recordActivation);
    EXPECT_EQ(sourceActivations, 1);
    activations.clear();
    gWindowManager->addWindowRec(kSourceWindowType, second, &secondButton, recordActivation);
    EXPECT_EQ(sourceActivations, 2);
    EXPECT_EQ(activations, (Activations{{second, 1}, {first, 0}}));
    EXPECT_EQ(gWindowManager->getActiveViewer(kSourceWindowType)->window, second);

    // Removing the active source window tells the Tool Manager; removing an
    // inactive one does not.
    delete gWindowManager->removeWindowRec(first);
    EXPECT_EQ(sourceDeactivations, 0);
    delete gWindowManager->removeWindowRec(second);
    EXPECT_EQ(sourceDeactivations, 1);
    WIN_TerminateGetStatus(first);
    WIN_TerminateGetStatus(second);
}

TEST_F(ToolWindowManagerTest, DeactivatesItsSourceWindowOnRequest) {
    // In a tool 'DSRC' is the window manager's, not the registry's.
    TButObj button;
    WinObj* source = newWindow(kResource);
    gWindowManager->addWindowRec(kSourceWindowType, source, &button, recordActivation);
    activations.clear();

    auto* request = new Message(typeCode("DSRC"), nullptr);
    request->wantsReply = 1;
    std::unique_ptr<Message> reply(gMessageCenter->dispatchMessage(request));
    EXPECT_EQ(reply->getLongParam(0), 0);
    EXPECT_EQ(activations, (Activations{{source, 0}}));
    EXPECT_EQ(gWindowManager->getActiveViewer(kSourceWindowType), nullptr);

    // With no active source window the request changes nothing.
    activations.clear();
    delete gMessageCenter->dispatchMessage(new Message(typeCode("DSRC"), nullptr));
    EXPECT_TRUE(activations.empty());
    gWindowManager->setAllWindowsVisibility(false, true);
}
