// okasample: a sample tool of the OKA, configured by its arguments (see
// SampleOptions.h). It registers with the Tool Manager, publishes its
// commands, identifies files by their extension ('IDFL'), logs every 'CMDS',
// 'DISF', 'FADD', 'SCHG' and 'FCMP' it receives, and as a source viewer
// answers 'FISV' by searching the file that 'DISF' showed last. It asks for
// the Tool Manager's help viewer and documents ('HGDM') and logs the answers.
// It has no windows. It ends on 'QUIT'; on SIGTERM or SIGINT it unregisters
// first.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "core/Log.h"
#include "core/ProgramOptions.h"
#include "core/Utilities.h"
#include "tools/OkaTool.h"
#include "tools/sample/SampleOptions.h"

namespace {
constexpr const char* kLogSource = "../okasample";
constexpr size_t kSearchTextSize = 1024;

SampleOptions options;
std::string displayedFile;  // the path of the last 'DISF', searched by 'FISV'
std::string textParam(const Message* message, int index) {
    char text[kPathSize];
    message->getTextParam(index, text, sizeof text);
    return text;
}

int32_t commandMsg(Message* message, Message*) {
    OKA_LOG("received CMDS %s machine %s port %d path %s", textParam(message, 0).c_str(),
            textParam(message, 1).c_str(), int(message->getLongParam(2)),
            textParam(message, 3).c_str());
    return 0;
}

int32_t displayFileMsg(Message* message, Message*) {
    displayedFile = textParam(message, 0);
    OKA_LOG("received DISF %s", displayedFile.c_str());
    return 0;
}

int32_t fileAddedMsg(Message* message, Message*) {
    OKA_LOG("received FADD %s type %s", textParam(message, 0).c_str(),
            TypeIdentToCStr(message->getTypeParam(1)));
    return 0;
}

int32_t sourceChangedMsg(Message* message, Message*) {
    OKA_LOG("received SCHG %s", textParam(message, 0).c_str());
    return 0;
}

int32_t fileCompiledMsg(Message* message, Message*) {
    OKA_LOG("received FCMP with %ld bytes", message->getParamLength(0));
    return 0;
}

// 'HDTM' and 'HMEM': the answers to the 'HGDM' sent after registering.
int32_t helpViewerMsg(Message* message, Message*) {
    OKA_LOG("help viewer: %s", textParam(message, 0).c_str());
    return 0;
}

int32_t helpDocumentMsg(Message* message, Message*) {
    OKA_LOG("help document \"%s\": %s", textParam(message, 0).c_str(),
            textParam(message, 1).c_str());
    return 0;
}

const SampleFileType* fileTypeOf(const std::string& path) {
    size_t dot = path.rfind('.');
    if (dot == std::string::npos) return nullptr;
    std::string extension = path.substr(dot + 1);
    for (const SampleFileType& fileType : options.fileTypes) {
        if (fileType.extension == extension) return &fileType;
    }
    return nullptr;
}

int32_t identifyFileMsg(Message* message, Message* reply) {
    const SampleFileType* fileType = fileTypeOf(textParam(message, 0));
    reply->addBoolParam(fileType != nullptr);
    if (fileType != nullptr) {
        reply->addTextParam(fileType->typeName.c_str());
        reply->addTypeParam(fileType->typeCode);
        reply->addTextParam(fileType->description.c_str());
    }
    return 0;
}

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

int32_t findInSourceMsg(Message* message, Message* reply) {
    char wanted[kSearchTextSize];
    message->getTextParam(1, wanted, sizeof wanted);
    bool caseSensitive = message->getBoolParam(2);
    std::ifstream file(displayedFile, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string text = wanted;
    bool found = !text.empty() &&
                 (caseSensitive ? content.find(text) : lowercase(content).find(lowercase(text))) !=
                     std::string::npos;
    OKA_LOG("received FISV %s: %s", wanted, found ? "found" : "not found");
    reply->addBoolParam(found);
    return 0;
}

void registerSampleHandlers() {
    const std::pair<const MessageType&, MessageHandlerProc> handlers[] = {
        {kRunCommandMsg, commandMsg},         {kDisplaySourceFileMsg, displayFileMsg},
        {kFileAddedMsg, fileAddedMsg},        {kSourceChangedMsg, sourceChangedMsg},
        {kFilesCompiledMsg, fileCompiledMsg}, {kIdentifyFileMsg, identifyFileMsg},
        {kFindInSourceMsg, findInSourceMsg},  {kHelpViewerMsg, helpViewerMsg},
        {kHelpMenuItemMsg, helpDocumentMsg},
    };
    for (const auto& [type, handlerProc] : handlers) {
        gMessageCenter->registerMessageHandler(type, handlerProc);
    }
}
}  // namespace

int main(int argc, char** argv) {
    if (answerHelpOrVersion(argc, argv, "okasample", kSampleUsage)) return 0;
    std::string error;
    if (!parseSampleOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "okasample: %s\n%s", error.c_str(), kSampleUsage);
        return 2;
    }
    if (startTool("okasample", {options.name.c_str(), options.company.c_str(), options.majorVersion,
                                options.minorVersion, options.toolType, options.isSourceViewer}) !=
        0) {
        std::fprintf(stderr, "okasample: set OKA to the installation root\n");
        return 1;
    }
    registerSampleHandlers();
    int32_t registered = registerWithToolManager(options.program.c_str());
    if (registered != 0) {
        OKA_LOG("%s not registered (error %d); leaving", options.name.c_str(), int(registered));
        leaveEnvironment();
        return 1;
    }
    for (const SampleCommand& command : options.commands) {
        publishCommand(command.name.c_str(), command.requirement, command.requiresType);
    }
    // The help viewer and documents come as messages of their own.
    gMessageCenter->sendMessage(new Message(kGetHelpDefaultsMsg.code, &gKelvaneToolInfo));
    runToolLoop();  // on a signal, Ctrl-C included, it unregisters first
    OKA_LOG("%s leaving", options.name.c_str());
    leaveEnvironment();
    return 0;
}
