// 'RCMD': a tool's published command run on request (okamsg --run) rather
// than from the workspace's menus. The request names the tool and the
// command and gives the component to run it on, a file of the project or
// one of its engine descriptors, in place of the workspace's selection.
// The command goes out as the tool's pop-up menu sends it with that
// component selected; no window opens, so a command that needs a file or an
// engine that the request does not give is refused (-403).
#pragma once

// Registers the handler of 'RCMD' with the message center.
void registerRunCommandRequestHandler();
