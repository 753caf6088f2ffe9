// The registry's call point into the current project: whenever a tool is
// registered, unloaded or unregistered, the project's files are identified
// again, since the set of tools that can recognise them changed.
#pragma once

// Asks the running tools to identify every file of the current project.
void identifyProjectFiles();
