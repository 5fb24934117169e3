#include "tools/ToolWindows.h"

#include "app/Tavrenne.h"
#include "tools/TDigestPassDlg.h"
#include "tools/Tconv.h"
#include "tools/Tfilesec.h"

void ConnectTools(TTavrenne& main) {
    QObject::connect(&main, &TTavrenne::stringHashRequested, &main, [&main] {
        Tconv dialog(&main, main.ApplicationTitle);
        dialog.exec();
    });
    QObject::connect(&main, &TTavrenne::duplicateSearchRequested, &main, [&main] {
        Tfilesec dialog(&main, main.CurrentPath);
        dialog.exec();
    });
    QObject::connect(&main, &TTavrenne::digestToolRequested, &main, [&main] {
        TDigestPassDlg dialog(&main, main.windowIcon().pixmap(16, 16), main.ApplicationTitle);
        // The main window steps aside while the tool is open.
        const bool shown = main.isVisible();
        main.hide();
        dialog.exec();
        if (shown) main.show();
    });
}
