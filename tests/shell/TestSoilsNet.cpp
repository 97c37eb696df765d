// The soils update from the Soil Data Mart in the desktop program, against a local stand-in
// service: the File menu command for all records, the Erosion page's button for the current
// record, the progress dialog's Cancel and the messages.
#include <QtTest>
#include <QElapsedTimer>
#include <QPushButton>

#include <atomic>
#include <chrono>
#include <thread>

#include "../support/SdmServer.h"
#include "ShellEnv.h"
#include "TsPages.h"
#include "TsSoils.h"

class TestSoilsNet : public QObject {
  Q_OBJECT

  TShellEnv* env_ = nullptr;
  TSdmServer* server_ = nullptr;
  std::unique_ptr<TMainForm> form_;

  // Three Story county records with the soils 138B (any name), 55 "Nicollet" and 27B (unmapped).
  void Open() {
    const std::string path = env_->MakeProject("soils.tsj", 2, 3);
    form_ = env_->Start({path});
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    const char* symbols[] = {"138B", "55", "27B"};
    const char* names[] = {"", "Nicollet", "Terril"};
    for (int n = 1; n <= 3; ++n) {
      TFieldRec rec{};
      QVERIFY(form_->ProjectFile().ReadRecord(n, rec));
      rec.Soil_Sym[0] = symbols[n - 1];
      rec.Soil_Name[0] = names[n - 1];
      QVERIFY(form_->ProjectFile().WriteRecord(n, rec, true));
    }
    QVERIFY(form_->LoadEditRec(1));
    env_->messages.Clear();
  }
  TFieldRec Read(int n) {
    TFieldRec rec{};
    form_->ProjectFile().ReadRecord(n, rec);
    return rec;
  }
  void UpdateAll() {
    env_->messages.answers = {TAnswer::Yes};
    form_->Action("FileSoilsSdmCmd")->trigger();
  }

 private slots:
  void init() {
    env_ = new TShellEnv;
    env_->WriteReferenceFiles();
    server_ = new TSdmServer;
    qputenv("no_proxy", "127.0.0.1");
    qputenv(kSdmEndpointVariable, QByteArray::fromStdString(server_->Url()));
  }
  void cleanup() {
    form_.reset();
    delete server_;
    delete env_;
    qunsetenv(kSdmEndpointVariable);
  }

  void allRecordsReportTheCounts() {
    Open();
    UpdateAll();
    QCOMPARE(env_->messages.questions.size(), 1);
    QVERIFY(env_->messages.questions[0].contains(" will query the USDA-NRCS Soil Data Mart for each map unit symbol"));
    QCOMPARE(env_->messages.all.last(), "info: \n2 soils were updated.\n1 soils were not updated. Check that soil map "
                                         "unit symbols are valid for county.\n");
    QCOMPARE(form_->EditRec().Soil_Name[0].Str(), "Clarion");  // read again and shown
    QCOMPARE(int(Read(2).Soil_Drain[0]), 5);
    QCOMPARE(int(server_->Requests().size()), 6);

    // Answering No sends nothing.
    env_->messages.answers = {TAnswer::No};
    form_->Action("FileSoilsSdmCmd")->trigger();
    QCOMPARE(int(server_->Requests().size()), 6);
  }

  // The window keeps handling events while the service is asked. Record 2's query never gets an
  // answer: Cancel ends it at once, record 1 stays updated, record 2 as it was, and the message says
  // the update was cancelled, with the counts. The Erosion page's button reports its Cancel too.
  void cancelEndsTheQueryInFlight() {
    Open();
    // Shared with the server's threads, which may outlive this function by a moment.
    auto stalled = std::make_shared<std::atomic<bool>>(false), released = std::make_shared<std::atomic<bool>>(false);
    const std::shared_ptr<void> release(nullptr, [released](void*) { *released = true; });
    server_->SetReply([stalled, released](const std::string& query, httplib::Response&) {
      if (query.find("'55'") == std::string::npos) return false;
      *stalled = true;
      while (!*released) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      return false;
    });
    QElapsedTimer sinceCancel;
    QTimer clicker;
    connect(&clicker, &QTimer::timeout, [&] {
      auto* dlg = dynamic_cast<TSoilsProgressDlg*>(QApplication::activeModalWidget());
      if (!*stalled || !dlg || sinceCancel.isValid()) return;
      dlg->CancelBtn->click();
      sinceCancel.start();
    });
    clicker.start(5);
    UpdateAll();
    const qint64 waited = sinceCancel.isValid() ? sinceCancel.elapsed() : -1;
    QVERIFY2(waited >= 0 && waited < 5000, qPrintable(QString::number(waited)));
    QCOMPARE(env_->messages.errors, QStringList());
    QCOMPARE(env_->messages.all.last(), "info: \nThe soils update was cancelled after 1 of 3 records; the soils "
                                         "updated so far are kept.\n\n1 soils were updated.\n");
    QCOMPARE(Read(1).Soil_Name[0].Str(), "Clarion");
    QCOMPARE(Read(2).Soil_Drain[0], uint8_t(0));
    QCOMPARE(form_->EditRec().Soil_Name[0].Str(), "Clarion");

    QVERIFY(form_->GoToRec(2));
    env_->messages.Clear();
    sinceCancel.invalidate();
    form_->Pages()->UpdSoilsSdmBtn->click();
    QVERIFY(sinceCancel.isValid() && sinceCancel.elapsed() < 5000);
    QCOMPARE(env_->messages.all,
             QStringList{"info: \nThe soils update was cancelled; the record's soils stay as they were.\n"});
    QCOMPARE(Read(2).Soil_Drain[0], uint8_t(0));
  }

  void buttonUpdatesTheCurrentRecordAndReportsFailures() {
    Open();
    QVERIFY(form_->GoToRec(3));
    form_->Pages()->UpdSoilsSdmBtn->click();
    QCOMPARE(env_->messages.errors, QStringList{"Unable to update 1 soil(s). Check that soil map unit symbol(s) are valid "
                                                "for county."});
    QCOMPARE(int(server_->Requests().size()), 2);

    // A failure on record 2 after record 1 was written: the shown record 1 is read again.
    QVERIFY(form_->GoToRec(1));
    env_->messages.Clear();
    server_->SetReply([](const std::string& query, httplib::Response& res) {
      if (query.find("'55'") == std::string::npos) return false;
      res.status = 500;
      return true;
    });
    UpdateAll();
    QCOMPARE(env_->messages.errors, QStringList{"Unable to update soils for the following reason:\n\nUnable to "
                                                "retrieve soil data from Soil Data Mart Web service. The service "
                                                "answered with HTTP status 500."});
    QCOMPARE(form_->EditRec().Soil_Name[0].Str(), "Clarion");
    QVERIFY(!form_->RecordModified());
  }
};

QTEST_MAIN(TestSoilsNet)
#include "TestSoilsNet.moc"
