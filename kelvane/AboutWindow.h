// The modal about window ("aboutOKAWindow"), with the installation's picture
// "okaAbout.xpm" from the resource directory when it is there.
#pragma once

void displayAboutWindow();
