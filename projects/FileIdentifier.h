// FileIdentifier: finds the type of the project's files by asking the
// running tools. A file that is not on disk is 'MISS'; the others go to
// every loaded tool at once, many paths per message ('IDFB'), and the first
// tool in registry order that recognises a file decides its type; a file
// nobody recognises is 'TEXT' when it is a text file, '????' otherwise.
//
// A tool that answers 'IDFB' with -3 was built before the batch existed: it
// is asked one 'IDFL' per file, and remembered as such until it registers
// again (forgetTool). Until a tool has answered a batch, its first batch
// carries one path, so an older tool costs no useless batch of the whole
// project. A tool whose request runs out its time is skipped for
// the rest of the identification, so a dead tool costs one reply time, not
// one per file. Replies are matched to the tool that sends them.
//
// While it waits, messages from other programs are queued, never handled,
// so nothing changes the project under it; the progress goes to an
// IdentifyProgress (the log's, until the workspace window installs its own).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "messaging/IdentifyBatch.h"
#include "messaging/ToolInfo.h"
#include "projects/IdentifyProgress.h"

class Message;
class OKAFile;

class FileIdentifier {
  public:
    FileIdentifier() = default;
    FileIdentifier(const FileIdentifier&) = delete;
    FileIdentifier& operator=(const FileIdentifier&) = delete;

    // Sets the type code and type name of every file of `files`. Returns the
    // description of each file's type, in the same order; the texts stay
    // valid until the next identify.
    std::vector<const char*> identify(const std::vector<OKAFile*>& files);

    // The tool of `type` registered again, perhaps with a newer library.
    void forgetTool(TypeCode type) {
        fileByFileTools.erase(type);
        batchTools.erase(type);
    }
    bool answersFileByFile(TypeCode type) const { return fileByFileTools.count(type) > 0; }

    // Where progress goes (null: the log); the identifier does not own it.
    void setProgress(IdentifyProgress* observer) { progress = observer; }
    IdentifyProgress* getProgress() const { return progress; }
    // Milliseconds spent so far waiting for tools to answer.
    double getWaitMs() const { return waitMs; }

  private:
    // One loaded tool being asked, in registry order (its rank).
    struct AskedTool {
        ToolInfo info;
        bool fileByFile = false;  // asked one 'IDFL' per file
        bool gaveUp = false;      // a request ran out its time: skipped from then on
        size_t nextFile = 0;      // first of the asked files not yet sent in a batch
        size_t batchCount = 0;    // files in the batch awaiting its reply
        bool awaiting = false;    // a batch is out
        uint32_t deadline = 0;    // when the batch out runs out its time
        uint32_t nextProbe = 0;   // when its port is next probed while a batch is out
        uint32_t lastKind = 0;    // the kind of its last claim (see take)
    };
    // The first tool (lowest rank) that recognised a file, and what it said.
    struct Claim {
        uint16_t rank = kUnclaimed;
        uint32_t kind = 0;  // index into kinds
    };
    struct Kind {
        TypeCode type;
        std::string name;
        std::string description;
    };
    static constexpr uint16_t kUnclaimed = UINT16_MAX;

    std::vector<AskedTool> loadedTools();
    void askInBatches();
    bool sendBatch(AskedTool& tool);
    void takeBatchReply(AskedTool& tool, const Message& reply);
    void askFileByFile();
    // Waits for the reply of `tool` until `deadline`; null when none came.
    Message* awaitReplyFrom(const AskedTool& tool, uint32_t deadline);
    // Waits at most `waitMs` for any reply; counts the wait, reports progress.
    Message* nextReply(int waitMs);
    // Records `answer` of the tool of `rank` about asked file `index`.
    void take(size_t index, uint16_t rank, const FileIdentification& answer);
    AskedTool* toolThatSent(const Message& reply);
    long filesDone() const;
    void reportProgress(long done);

    std::set<TypeCode> fileByFileTools;    // tools known to answer only 'IDFL'
    std::set<TypeCode> batchTools;         // tools known to answer 'IDFB'
    IdentifyProgress* progress = nullptr;  // the window's report, or null for the log's
    LoggedProgress loggedProgress;         // the report without a window
    double waitMs = 0;                     // time spent waiting for replies

    // The identification under way.
    std::vector<OKAFile*> asked;                // the files on disk, asked about
    std::vector<Claim> claims;                  // per asked file
    std::vector<AskedTool> tools;               // the loaded tools, in registry order
    std::deque<Kind> kinds;                     // distinct answers; stable for the descriptions
    std::map<std::string, uint32_t> kindIndex;  // kinds by type, name and description
    long missingCount = 0;                      // files not on disk, done at once
    long totalCount = 0;                        // files being identified
    bool inFileByFilePhase = false;             // progress counts asked files one by one
    size_t fileByFileDone = 0;                  // asked files done file by file
    uint32_t startedMs = 0;                     // when the identification began
    bool reported = false;                      // progress was reported
};
