// What the tool registry tells the parts of the Tool Manager that follow the
// set of running tools (the project's file identification, the commands'
// copies of each tool's address, the workspace's tool icons). A listener
// overrides the events it cares about; every event comes after the registry
// has changed the entry.
#pragma once

class RegisteredTool;

class ToolRegistryListener {
  public:
    virtual ~ToolRegistryListener() = default;

    // A tool of a type not yet in the registry registered.
    virtual void toolAdded(const RegisteredTool& /*tool*/) {}
    // An unloaded tool registered again, from a new process and port.
    virtual void toolReregistered(const RegisteredTool& /*tool*/) {}
    // A tool was told to quit or stopped answering; its entry stays.
    virtual void toolUnloaded(const RegisteredTool& /*tool*/) {}
    // A tool unregistered; its entry is deleted once the listeners return.
    virtual void toolRemoved(const RegisteredTool& /*tool*/) {}
};
