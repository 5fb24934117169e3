// The program's pictures: toolbar image list, application icon, splash and about picture.
#pragma once

#include <QIcon>
#include <QPixmap>

// Indexes into the toolbar image list.
enum TToolImage : int {
    tiOpen = 0, tiRefresh, tiBatch, tiRun, tiExit, tiCopy, tiSave, tiCopyName, tiCopyPath, tiClear,
    tiTopmost, tiFormatL, tiFormatS, tiStringHash, tiDupSearch, tiOptions, tiHelp, tiWeb,
    tiLogShow = 18, tiLogHide = 19, tiAbout = 20, tiDigest = 21, tiAbort = 22,
    tiCount
};

QIcon ToolImage(int index);
QPixmap ToolImagePixmap(int index, int size);
QIcon ApplicationIcon();
// Bitmap 302: 442 x 262, shared by the splash window and the about box; the splash shows
// its middle, the about box its top.
QPixmap SplashPicture();
