// The greeting, results and version scripts as the mascot receives them.
#include <QApplication>
#include <QTimer>
#include <fstream>

#include "options/CustomOption.h"
#include "app/VersionDlg.h"
#include "components/QL_SSTP.h"
#include "components/SstpRecorder.h"
#include "fakes/AppFixture.h"
#include "text/Cp932.h"

namespace {

QByteArray Sjis(const QString& text) {
    const std::string bytes = cp932::FromUtf8(text.toStdString());
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

// The whole request the window's client sends for a script.
QByteArray Request(const QString& script) {
    return "SEND SSTP/1.1\r\nScript: " + Sjis(script) + "\r\nCharset: Shift_JIS\r\nSender: Mirune\r\n\r\n";
}

class Mascot : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(mascot_.Listening());
        settings_.Values.UseSSTP = true;
        w_->QL_SSTP1->SetSSTP_Host(QStringLiteral("127.0.0.1"));
        w_->QL_SSTP1->SetSSTP_Port(mascot_.Port());
        w_->CheckTheThree();  // all three digests
    }
    QString Abc() { return MakeFile(QStringLiteral("abc.txt"), std::string("abc")); }
    // The results script for abc.txt as the window shows it now, with `remark` at its end.
    QString AbcResults(const QString& crc, const QString& md5, const QString& sha1, const QString& remark) {
        return QStringLiteral("\\h\\s0") + w_->Label1->text() + QStringLiteral("\\nファイルサイズ: 3 Bytes\\n") +
               w_->Label4->text() + QStringLiteral("\\nファイルバージョン:\\n著作権:\\nCRC32:") + crc +
               QStringLiteral("\\nMD5:") + md5 + QStringLiteral("\\nSHA1:") + sha1 +
               QStringLiteral("\\w9\\w9\\u\\s0と、言った感じやな") + remark + QStringLiteral("\\e");
    }
    TSstpRecorder mascot_;
};

TEST_F(Mascot, ClientBelongsToTheWindowWithItsSettings) {
    TTavrenneUnderTest fresh;
    EXPECT_EQ(fresh.QL_SSTP1->objectName(), QStringLiteral("QL_SSTP1"));
    EXPECT_EQ(fresh.QL_SSTP1->SSTP_Host(), QStringLiteral("localhost"));
    EXPECT_EQ(fresh.QL_SSTP1->SSTP_From(), QStringLiteral("Mirune"));
    EXPECT_EQ(fresh.QL_SSTP1->SSTP_Port(), 9801);
}

// Whether a mascot listens is the script's own connection to find out: nothing else ever
// connects, so the mascot never sees an empty request.
TEST_F(Mascot, InUseIsTheSettingAndEachScriptIsTheOnlyConnection) {
    EXPECT_TRUE(w_->MascotInUse());
    w_->AnalyzeFile(TPath(Abc()));
    w_->Action15->trigger();
    const QList<QByteArray> got = mascot_.Connections();
    ASSERT_EQ(got.size(), 2);
    EXPECT_TRUE(got[0].startsWith("SEND SSTP/1.1\r\nScript: \\h\\s0")) << got[0].toStdString();
    EXPECT_TRUE(got[1].contains("Tavrenne(2)")) << got[1].toStdString();
    settings_.Values.UseSSTP = false;
    EXPECT_FALSE(w_->MascotInUse());
    w_->AnalyzeFile(TPath(Abc()));
    EXPECT_TRUE(mascot_.Connections().isEmpty());   // the setting off tries nothing at all
}

TEST_F(Mascot, GreetingByteForByte) {
    w_->SendMascotScript(TMascotScript::Greeting);
    EXPECT_EQ(mascot_.Requests(),
              QList<QByteArray>{Request(QStringLiteral(
                  "\\h\\s5Tavrenneです \\n\\nファイル情報、MD5ハッシュ等を取得出来ます。\\u\\s0便利な\"タイムスタンプまとめて設定\"も忘れるなよ。\\e"))});
}

TEST_F(Mascot, StartUpGreetsWhenTheSettingsSwitchTheMascotOn) {
    const std::string ini = (platform_.Folder + QStringLiteral("/tavr2.ini")).toStdString();
    for (const bool on : {false, true}) {
        std::ofstream(ini, std::ios::binary) << "[Tavrix_2]\r\n#Version=2.46\r\n#NoSp=1\r\n#Use SSTP=" << on << "\r\n";
        TStartupSeams seams;
        auto form = std::make_unique<Tcustomoption>(*w_);
        form->SetStartupSeams(&seams);
        form->FormCreate({});
        const QList<QByteArray> got = mascot_.Connections();
        ASSERT_EQ(got.size(), on ? 1 : 0);
        if (on) {
            EXPECT_TRUE(got[0].contains(Sjis(QStringLiteral("\\h\\s5Tavrenneです "))));
        }
        form.reset();
        SetSettings(&settings_);
    }
}

TEST_F(Mascot, AboutCommandSendsTheVersionInsteadOfTheBox) {
    bool boxShown = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            boxShown = true;
            modal->close();
        }
    });
    w_->Action15->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(boxShown);
    EXPECT_EQ(mascot_.Requests(),
              QList<QByteArray>{Request(
                  QStringLiteral("\\h\\s0Tavrenne(2)\\n\\nVersion: 2.46\\n") +
                  QString::fromStdString(w_->ProgramInfo().LegalCopyright) +
                  QStringLiteral("\\w9\\w9\\n\\u\\s0お、ようやく放置してたバグが直ったんかいな…\\n\\w9\\w9\\h\\s4\\n\\nQuilloryの中の人も大変なのですよ…\\w9\\w9\\w9\\u\\s0…そか。\\e"))});
}

TEST_F(Mascot, WithoutAMascotTheAboutBoxShows) {
    mascot_.Close();
    QString shown;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            shown = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    });
    w_->Action15->trigger();
    EXPECT_EQ(shown, QStringLiteral("TVersionDlg"));
}

TEST_F(Mascot, ResultsAfterAnAnalysisWithoutAComparison) {
    w_->AnalyzeFile(TPath(Abc()));
    EXPECT_EQ(mascot_.Requests(),
              QList<QByteArray>{Request(AbcResults(QStringLiteral("352441c2"), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"),
                                                   QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d"), QString()))});
}

TEST_F(Mascot, ResultsCarryTheRemarkOfTheComparison) {
    const struct {
        const char* value;
        QString remark;
    } cases[] = {
        {"352441c2", QStringLiteral("\\w9\\w9\\h\\s5\\nうん。一致したよー")},
        {"00000000", QStringLiteral("\\w9\\w9\\h\\s4\\nあれ？一致しないよ…\\w9\\u\\s0\\n…壊れてんのか？")},
    };
    for (const auto& c : cases) {
        w_->CheckBox3->setChecked(true);
        w_->ComboBox1->setCurrentIndex(int(TDigestKind::CRC32));
        w_->Edit1->setText(QString::fromLatin1(c.value));
        w_->AnalyzeFile(TPath(Abc()));
        const QList<QByteArray> got = mascot_.Requests();
        ASSERT_EQ(got.size(), 1) << c.value;
        EXPECT_TRUE(got[0].contains(Sjis(QStringLiteral("と、言った感じやな") + c.remark + QStringLiteral("\\e\r\n"))))
            << c.value;
    }
}

TEST_F(Mascot, ResultsWithNoDigestsHaveEmptyValues) {
    w_->Button5->click();  // no digests
    w_->AnalyzeFile(TPath(Abc()));
    const QList<QByteArray> got = mascot_.Requests();
    ASSERT_EQ(got.size(), 1);
    EXPECT_TRUE(got[0].contains("\\nCRC32:\\nMD5:\\nSHA1:\\w9\\w9"));
}

TEST_F(Mascot, SettingOffSendsNothing) {
    settings_.Values.UseSSTP = false;
    w_->AnalyzeFile(TPath(Abc()));
    EXPECT_TRUE(mascot_.Connections().isEmpty());
}

}  // namespace
