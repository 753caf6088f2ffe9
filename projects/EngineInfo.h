// EngineInfo: an engine descriptor, a component of the project naming a
// running Quenta Engine by machine and TCP port. It is a Notifier: observers hear
// 'NDLT' when it is destroyed. Only machine and port are stored in the
// project file; the connection state lives for the run.
//
// Unique ids come from a class-wide counter starting at 1; an edited copy is
// made with the id of the descriptor it replaces, so that the two are equal
// and the copy takes the original's place in its list.
#pragma once

#include <cstdint>

#include "storage/Notifier.h"

inline constexpr TypeCode kEngineType = typeCode("ENGN");

class EngineInfo : public Notifier {
  public:
    // `uniqueId` 0 takes a fresh id; any other value is taken as it is.
    EngineInfo(const char* machine, int32_t port, uint32_t uniqueId = 0);
    ~EngineInfo() override;

    void setMachine(const char* text);

    const char* getMachine() const { return machine; }
    int32_t getPort() const { return port; }
    uint32_t getUniqueId() const { return uniqueId; }

    // Same unique id, or else the same machine (byte for byte) and port.
    bool isEqual(const Item* other) const override;
    // Descriptors are unordered.
    long compare(const Item*) const override { return 0; }
    TypeCode getItemType() const override { return kEngineType; }
    // "Machine: %s, port:%ld"
    void printToString(char* buffer, size_t size) const override;
    // One log line: "[prefix ]EngineInfo: <machine port uniqueId n connected c".
    virtual void log(const char* prefix) const;
    // "%s, %ld": the text of an engine row in the workspace lists.
    virtual void printShortFormToString(char* buffer, size_t size) const;
    virtual uint8_t connect();
    virtual void disconnect();

  private:
    static uint32_t internalUniqueId;  // next fresh id

    char* machine = nullptr;  // host name or address
    int32_t port = 0;         // TCP port of the engine
    uint8_t connected = 0;    // set by connect, cleared by disconnect
    uint32_t uniqueId;        // identity within the run
};
