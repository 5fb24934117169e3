#include "tools/ToolWindows.h"

#include <QWidget>

#include "app/MainWindow.h"
#include "tools/TDigestPassDlg.h"
#include "tools/Tconv.h"
#include "tools/Tfilesec.h"

void ConnectTools(TMainWindow& main) {
    main.OnCommand(TUpperWindow::StringHash, [&main] {
        Tconv dialog(&main.Window(), main.ApplicationTitle());
        dialog.exec();
    });
    main.OnCommand(TUpperWindow::DuplicateSearch, [&main] {
        Tfilesec dialog(&main.Window(), main.CurrentPath());
        dialog.exec();
    });
    main.OnCommand(TUpperWindow::DigestTool, [&main] {
        QWidget& window = main.Window();
        TDigestPassDlg dialog(&window, main.DigestToolPicture(), main.ApplicationTitle());
        // The main window steps aside while the tool is open.
        const bool shown = window.isVisible();
        window.hide();
        dialog.exec();
        if (shown) window.show();
    });
}
