// The three scripts the main window sends to the desktop mascot.
#include <QLabel>
#include <QLineEdit>

#include "app/SettingsAccess.h"
#include "app/Tavrenne.h"
#include "components/QL_SSTP.h"

QString TTavrenne::MascotScriptText(TMascotScript kind) const {
    const TTavrenne& w = *this;
    // The digests beyond the three, named as the log names them, where they have a text.
    auto MoreDigests = [&w] {
        QString more;
        for (const TDigestKindInfo& k : DigestKinds())
            if (!k.InAll && !w.DigestBox(k.Kind)->text().isEmpty())
                more += QStringLiteral("\\n") + QString::fromLatin1(k.Name) + QLatin1Char(':') + w.DigestBox(k.Kind)->text();
        return more;
    };
    switch (kind) {
    case TMascotScript::Greeting:
        return QStringLiteral("Script: \\h\\s5Tavrenneです \\n\\nファイル情報、MD5ハッシュ等を取得出来ます。"
                              "\\u\\s0便利な\"タイムスタンプまとめて設定\"も忘れるなよ。\\e\r\n");
    case TMascotScript::Results:
        // The modified time (Label4) comes before the version (Label3) here.
        return QStringLiteral("Script: \\h\\s0") + w.Label1->text() + QStringLiteral("\\n") + w.Label2->text() +
               QStringLiteral("\\n") + w.Label4->text() + QStringLiteral("\\n") + w.Label3->text() +
               QStringLiteral("\\n") + w.Label5->text() + QStringLiteral("\\nCRC32:") + w.LabeledEdit1->text() +
               QStringLiteral("\\nMD5:") + w.LabeledEdit2->text() + QStringLiteral("\\nSHA1:") +
               w.LabeledEdit3->text() + MoreDigests() + QStringLiteral("\\w9\\w9\\u\\s0と、言った感じやな") + w.CompareRemark +
               QStringLiteral("\\e\r\n");
    case TMascotScript::Version:
        return QStringLiteral("Script: \\h\\s0Tavrenne(2)\\n\\nVersion: ") +
               QString::fromStdString(w.programInfo_.FileVersion) + QStringLiteral("\\n") +
               QString::fromStdString(w.programInfo_.LegalCopyright) +
               QStringLiteral("\\w9\\w9\\n\\u\\s0お、ようやく放置してたバグが直ったんかいな…\\n"
                              "\\w9\\w9\\h\\s4\\n\\nQuilloryの中の人も大変なのですよ…\\w9\\w9\\w9\\u\\s0…そか。"
                              "\\e\r\n");
    }
    return QString();
}

TQL_SSTP* TTavrenne::MakeMascotClient(QObject* owner) {
    auto* sstp = new TQL_SSTP(owner);
    sstp->setObjectName(QStringLiteral("QL_SSTP1"));
    sstp->SetSSTP_Host(QStringLiteral("localhost"));
    sstp->SetSSTP_From(QStringLiteral("Mirune"));
    return sstp;
}

// The setting alone: whether a mascot listens is found out by the script's own connection,
// since a connection made only to ask reaches the mascot as an empty request.
bool TTavrenne::MascotInUse() { return Settings().UseSSTP(); }

bool TTavrenne::SendMascotScript(TMascotScript which) {
    const QString text = MascotScriptText(which);
    return !text.isEmpty() && QL_SSTP1->SendScript(text);
}
