// The transfer runner: its signals, its questions on the caller's thread,
// and going away while the link waits for an answer, over a simulated radio
// in virtual time.
#include "LinkRunner.h"
#include "SimLine.h"

#include "CoreTestSupport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

int argc = 1;
char name[] = "test_LinkRunner";
char* argv[] = {name, nullptr};

// A radio of model on a simulated line, and a table of model 2 to write.
struct Bench {
    kq::SimRadios radios;
    kq::RadioModel& radio;
    kq::SimLine& line = radios.Line();
    kq::LinkSettings link;
    explicit Bench(int model) : radio(radios.Add(Setup(model))) { link.ports = {kq::SimRadios::Device(0)}; }
    static kq::RadioSetup Setup(int model) {
        kq::RadioSetup s;
        s.model = model;
        return s;
    }
};

} // namespace

TEST(LinkRunner, ReportsTheRadioThenTheResultAndAsksOnItsOwnThread) {
    QCoreApplication app(argc, argv);
    Bench b(3); // another model than the table's
    kq::ClassKQxx53 table;
    kq::TransferSequence seq(kq::PrepareWrite(table));
    kq::LinkRecorder trace("test");
    kq::LinkRunner::Hooks hooks;
    QThread* askedOn = nullptr;
    hooks.confirmModelMismatch = [&](int model) {
        askedOn = QThread::currentThread();
        return model == 3;
    };
    kq::LinkRunner run(seq, b.link, hooks, &trace, kq::SimulatedEnds(b.line));
    std::vector<std::string> events;
    QObject::connect(&run, &kq::LinkRunner::PortFound, [&](int port, const QString& device) {
        events.push_back("found COM" + std::to_string(port) + " " + device.toStdString());
    });
    QEventLoop loop;
    kq::TransferResult result;
    QObject::connect(&run, &kq::LinkRunner::Finished, [&](const kq::TransferResult& r) {
        events.push_back("finished");
        EXPECT_FALSE(run.Running());
        result = r;
        loop.quit();
    });
    run.Start();
    EXPECT_TRUE(run.Running());
    loop.exec();
    EXPECT_EQ(events, (std::vector<std::string>{"found COM1 " + kq::SimRadios::Device(0), "finished"}));
    EXPECT_EQ(askedOn, QThread::currentThread());
    ASSERT_EQ(result.outcome, kq::TransferOutcome::Done) << result.detail;
    EXPECT_EQ(b.radio.Words(), Bench::Setup(2).Words());
    // The trace holds the answer and the outcome.
    EXPECT_NE(trace.Text().find("model-mismatch"), std::string::npos);
    EXPECT_NE(trace.Text().find("Done"), std::string::npos);
}

TEST(LinkRunner, GoingAwayWhileTheLinkWaitsForAnAnswerEndsTheTransferUnwritten) {
    QCoreApplication app(argc, argv);
    Bench b(3);
    const std::vector<int> before = b.radio.Words();
    kq::ClassKQxx53 table;
    kq::TransferSequence seq(kq::PrepareWrite(table));
    // The question would say yes, but its window never gets to run: the
    // runner goes first.
    kq::LinkRunner::Hooks hooks;
    bool asked = false;
    hooks.confirmModelMismatch = [&](int) { return asked = true; };
    std::mutex m;
    std::condition_variable cv;
    bool wordOneAsked = false;
    b.line.onSend = [&](const std::string& frame) {
        if (frame != kq::ReadFrame(1)) return;
        std::lock_guard<std::mutex> l(m);
        wordOneAsked = true;
        cv.notify_all();
    };
    bool finished = false;
    {
        kq::LinkRunner run(seq, b.link, hooks, nullptr, kq::SimulatedEnds(b.line));
        QObject::connect(&run, &kq::LinkRunner::Finished, [&] { finished = true; });
        run.Start();
        std::unique_lock<std::mutex> l(m);
        cv.wait(l, [&] { return wordOneAsked; });
    } // gone without this thread's events running
    EXPECT_FALSE(asked);
    EXPECT_FALSE(finished);
    EXPECT_EQ(b.radio.Words(), before);
}
