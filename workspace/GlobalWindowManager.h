// GlobalWindowManager: the Tool Manager's memory of where every kind of
// window of every program was last placed. Programs ask with 'GWIN' when
// they open a window and report its final box with 'UWIN' when it goes away.
// Several windows of one kind can be open at once: each is handed a
// different free position, and each position's id ties it to its window.
//
// The positions persist in the preferences file as 'WPOS' records, written
// at shut-down in list order (the most recently updated last), 12 bytes:
//
//   offset size content
//        0    4 window type
//        4    8 box: x, y, width, height (signed 16-bit)
//
// Ids and the in-use flags are not stored; the next run numbers the records
// 1, 2, ... in file order.
#pragma once

#include <cstdint>

#include "core/HasErrorReporting.h"
#include "storage/List.h"
#include "toolkit/base/Rect16.h"

class Message;
class PrefMan;

inline constexpr TypeCode kWindowPositionRecord = typeCode("WPOS");
inline constexpr int kWindowPositionRecordSize = 12;

class GlobalWindowManager : public HasErrorReporting {
  public:
    // Loads the stored positions from `preferences` and answers 'UWIN' and
    // 'GWIN' from then on.
    explicit GlobalWindowManager(PrefMan* preferences);
    GlobalWindowManager(const GlobalWindowManager&) = delete;
    GlobalWindowManager& operator=(const GlobalWindowManager&) = delete;
    // Writes every position back and stops answering.
    ~GlobalWindowManager() override;

    // Stores a free position for `id`, replacing the previous one of that id;
    // it becomes the first candidate for the next window of its type.
    void updateWindowPosition(TypeCode type, const Rect16* box, int32_t id);
    // Hands out the most recently updated free position of `type`; false
    // (zero box, id 0) when there is none.
    bool getWindowPosition(TypeCode type, Rect16* box, int32_t* id);
    // A new id, never handed out before in this run.
    int32_t newPositionId() { return ++lastPositionId; }
    long getPositionCount() const { return positions.getCount(); }

    static int32_t updateWindowPositionMsg(Message* message, Message* reply);
    static int32_t getWindowPositionMsg(Message* message, Message* reply);

  private:
    void registerHandlers();
    void loadPositions();
    void savePositions();

    PrefMan* preferences;        // the Tool Manager's preferences file
    List positions;              // owned WindowPositions, most recently updated last
    int32_t lastPositionId = 0;  // the highest id handed out in this run
};

extern GlobalWindowManager* gGlobalWindowManager;
