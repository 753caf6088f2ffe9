// The project messages as a tool sends them (the limits are the project file's).
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "ProjectFixture.h"
#include "projects/GlobalPathManager.h"
#include "projects/ProjectManager.h"

namespace {
class ProjectMessagesTest : public ProjectTest {
  protected:
    ProjectMessagesTest() {
        EXPECT_TRUE(gProjectManager->loadProject((home.path() / "msgs.prj").c_str(), true).ok());
    }
    std::unique_ptr<Message> send(const char (&code)[5],
                                  std::initializer_list<std::string> texts = {}) {
        return deliver(newRequest(code, texts));
    }
    std::unique_ptr<Message> engineMessage(const char (&code)[5], const std::string& machine,
                                           int32_t port) {
        auto* message = new Message(typeCodeFromBytes(code), nullptr);
        message->addTextParam(machine.c_str());
        message->addLongParam(port);
        return deliver(message);
    }
    std::unique_ptr<Message> resolve(const std::string& partial) { return send("RSLV", {partial}); }
    static std::string text(const Message& reply, int index) {
        char buffer[kPathSize];
        reply.getTextParam(index, buffer, sizeof buffer);
        return buffer;
    }
    // A reply's parameters after its code, texts and type codes as written.
    static std::vector<std::string> params(const Message& reply) {
        std::vector<std::string> all;
        for (int i = 1; i < reply.paramCount; ++i) {
            TypeCode type = reply.getParamType(i);
            all.push_back(type == kParamType   ? TypeIdentToCStr(reply.getTypeParam(i))
                          : type == kParamBool ? (reply.getBoolParam(i) ? "true" : "false")
                                               : text(reply, i));
        }
        return all;
    }
};
}  // namespace

TEST_F(ProjectMessagesTest, QueriesAnswerWithTheirExactLayouts) {
    // 'GENG': the parameter count, the engine count and the entries' bytes.
    auto engines = [&] {
        auto reply = send("GENG");
        EXPECT_EQ(reply->getParamType(2), kParamData);
        return std::tuple{reply->paramCount, reply->getLongParam(1), paramBytes(*reply, 2)};
    };
    EXPECT_EQ(deliver(newRequest("GFCP", kWildcardType))->paramCount, 1);
    EXPECT_EQ(send("GCCP")->paramCount, 1);
    EXPECT_EQ(engines(), std::tuple(3, 0, std::string()));

    std::string notes = makeFile("notes.txt"), gone = (home.path() / "gone.c").string();
    for (const std::string& path : {notes, gone})
        EXPECT_EQ(send("ADDF", {path})->getLongParam(0), 0);
    for (auto [machine, port] : {std::pair{"alpha", 7777}, {"beta", 8888}, {"alpha", 7777}})
        EXPECT_EQ(engineMessage("ADDE", machine, port)->getLongParam(0), 0);  // the last replaces

    // "missing files" sorts before "text files"; paths are padded to 256 bytes.
    auto files = deliver(newRequest("GFCP", kWildcardType));
    EXPECT_EQ(params(*files), (std::vector<std::string>{gone, notes}));
    EXPECT_EQ(files->getParamType(1), kParamS255);
    EXPECT_EQ(paramBytes(*files, 1), padded(gone));
    EXPECT_EQ(params(*deliver(newRequest("GFCP", typeCode("TEXT")))),
              std::vector<std::string>{notes});

    // Adding a file sorts the lists; adding an engine appends its list.
    auto lists = send("GCCP");
    EXPECT_EQ(params(*lists), (std::vector<std::string>{"missing files", "MISS", "text files",
                                                        "TEXT", "engines", "ENGN"}));
    EXPECT_EQ(lists->getParamLength(1), 14);  // its length plus one
    EXPECT_EQ(engines(), std::tuple(3, 2, engineBytes("alpha", 7777) + engineBytes("beta", 8888)));

    EXPECT_EQ(engineMessage("REME", "alpha", 7777)->getLongParam(0), 0);
    EXPECT_EQ(engineMessage("REME", "nobody", 1)->getLongParam(0), 0);
    EXPECT_EQ(engines(), std::tuple(3, 1, engineBytes("beta", 8888)));
    EXPECT_EQ(deliver(newRequest("REMF", typeCode("TEXT"), {notes}))->getLongParam(0), 0);
    EXPECT_EQ(send("GCCP")->paramCount, 5);
}

TEST_F(ProjectMessagesTest, ProjectPathAndPickerDirectory) {
    EXPECT_EQ(params(*send("GCPP")), std::vector<std::string>{home.path() / "msgs.prj"});
    EXPECT_EQ(params(*send("GCFP")), std::vector<std::string>{home.path()});
    EXPECT_EQ(send("SCFP", {"/somewhere/else"})->getLongParam(0), 0);
    EXPECT_EQ(text(*send("GCFP"), 1), "/somewhere/else");
    EXPECT_EQ(send("SCFP", {""})->getLongParam(0), 0);
    EXPECT_EQ(send("GCFP")->paramCount, 1);                    // empty: no parameter
    EXPECT_EQ(send("SCFP", {"a", "b"})->getLongParam(0), -2);  // refused by its template
    EXPECT_EQ(send("SCFP", {"/" + std::string(300, 'd')})->getLongParam(0), -802);
    EXPECT_EQ(send("GCFP")->paramCount, 1);
}

TEST_F(ProjectMessagesTest, TextsThatDoNotFitAreRefused) {
    std::string longPath = "/" + std::string(400, 'x');
    EXPECT_EQ(send("ADDF", {longPath})->getLongParam(0), -802);
    EXPECT_EQ(engineMessage("ADDE", std::string(40, 'm'), 1)->getLongParam(0), -802);
    EXPECT_EQ(engineMessage("REME", std::string(40, 'm'), 1)->getLongParam(0), 0);
    EXPECT_EQ(send("GCCP")->paramCount, 1);

    // A path parameter without a terminator is bounded by its length.
    auto addUnterminated = [&](const std::string& path) {
        auto* request = new Message(typeCode("ADDF"), nullptr);
        request->addParam(kParamS255, path.data(), long(path.size()));
        return deliver(request)->getLongParam(0);
    };
    std::string notes = makeFile("unterminated.txt");
    EXPECT_EQ(addUnterminated(notes), 0);
    EXPECT_EQ(params(*deliver(newRequest("GFCP", kWildcardType))), std::vector<std::string>{notes});
    EXPECT_EQ(addUnterminated(std::string(5000, 'z')), -802);
    EXPECT_EQ(resolve(longPath)->getBoolParam(1), false);
}

TEST_F(ProjectMessagesTest, PathsResolveInTheFixedOrder) {
    const std::filesystem::path& installation = manager.installation;
    std::filesystem::path first = home.path() / "first";
    std::filesystem::path second = home.path() / "second";
    for (const std::filesystem::path& path :
         {installation / "include" / "shared.qh", installation / "doc" / "html" / "page.html",
          first / "shared.qh", second / "only.qa", first / "sub" / "deep.qa"})
        writeFile(path, "x");
    EXPECT_EQ(send("ADGP", {first.string() + "/", second.string()})->getLongParam(0), 0);
    EXPECT_EQ(send("ADGP", {first.string() + "/", first.string() + "/"})->getLongParam(0), 0);
    EXPECT_EQ(gGlobalPathManager->getPaths().getCount(), 2);

    EXPECT_EQ(params(*resolve("shared.qh")),
              (std::vector<std::string>{"true", installation / "include" / "shared.qh"}));
    EXPECT_EQ(text(*resolve("page.html"), 2), (installation / "doc/html/page.html").string());
    EXPECT_EQ(text(*resolve("only.qa"), 2), (second / "only.qa").string());
    EXPECT_EQ(text(*resolve("sub/deep.qa"), 2), (first / "sub/deep.qa").string());
    std::string absolute = (second / "only.qa").string();
    EXPECT_EQ(text(*resolve(absolute), 2), absolute);

    auto unresolved = resolve("nowhere.qa");
    EXPECT_EQ(params(*unresolved), (std::vector<std::string>{"false", ""}));
    EXPECT_EQ(unresolved->getParamLength(2), 1);

    // Paths are written when the manager goes, and come back with the project.
    manager.restart();
    ASSERT_EQ(gGlobalPathManager->getPaths().getCount(), 2);
    EXPECT_EQ(text(*resolve("only.qa"), 2), (second / "only.qa").string());
    // A candidate too long for a path buffer is never tried.
    std::string deepName(250, 'n');
    EXPECT_FALSE(resolve(deepName)->getBoolParam(1));
}

// 'RCMD' runs a published command on a project file named in full or as the
// project paths resolve it, and says why it runs on nothing else.
TEST_F(ProjectMessagesTest, RunCommandRequestFindsTheProjectFileOrSaysWhatIsMissing) {
    ScriptedTool agents(home.path() / "agents.journal", "Agents", typeCode("AGNT"),
                        {{".qa", IdentifyRule::recognise, "Agent", typeCode("QAGT"), ""}});
    registerFrom(agents);
    EXPECT_EQ(publish(agents, "Run", 1, typeCode("QAGT")), 0);
    EXPECT_EQ(publish(agents, "Attach", 2), 0);
    std::string agent = makeFile("main.qa"), sources = (home.path() / "src").string();
    EXPECT_EQ(send("ADDF", {agent})->getLongParam(0), 0);
    EXPECT_EQ(send("ADGP", {sources, sources})->getLongParam(0), 0);
    // A tool that died since its last probe.
    FakeTool ghost("Ghost", typeCode("GHST"));
    registerFrom(ghost);
    EXPECT_EQ(publish(ghost, "Haunt", 0), 0);
    ghost.die();

    // Tool, command, file, machine; the error and the reason given.
    for (auto [tool, command, file, machine, error, why] : {
             std::tuple{"Agents", "Run", "main.qa", "", 0, ""},
             {"Agents", "Run", "", "", -403, "Run needs a project file of type QAGT"},
             {"Agents", "Run", "/elsewhere/main.qa", "", -403,
              "/elsewhere/main.qa is not a file of the project"},
             {"Agents", "Attach", "", "nowhere", -403, "nowhere:1 is not an engine of the project"},
             {"Agents", "Attach", agent.c_str(), "", -403, "Attach needs an engine of the project"},
             {"Nobody", "Run", "", "", -302, "no tool named Nobody"},
             {"Agents", "Fly", "", "", -402, "Agents has no command Fly"},
             {"Ghost", "Haunt", "", "", -305,
              "Ghost did not take the command: it is gone and now unloaded"},
             {"Ghost", "Haunt", "", "", -305, "Ghost is not loaded"},
         }) {
        auto* request = new Message(typeCode("RCMD"), nullptr);
        for (const char* name : {tool, command}) request->addTextParam(name, kParamST31);
        request->addTextParam(file);
        request->addTextParam(machine, kParamST31);
        request->addLongParam(1);
        auto reply = deliver(request);
        EXPECT_EQ(reply->getLongParam(0), error) << command << " " << file;
        EXPECT_EQ(reply->paramCount > 1 ? text(*reply, 1) : "", why);
    }
    EXPECT_TRUE(agents.waitForLine("CMDS Run " + agent));
}
