// The program-wide handler: what its report says, and that reports from
// other threads or from inside a report reach the handler one at a time on
// the main window's thread.
#include "Fixtures.h"

#include "ui/Application.h"

#include <new>
#include <stdexcept>
#include <thread>

namespace {

struct Report {
    std::wstring text;
    DWORD thread;
};

// Records each report with the thread it reached the handler on.
class ThreadRecorder {
  public:
    ThreadRecorder()
        : previous_(ui::SetExceptionHandler([this](std::exception_ptr error) {
              reports.push_back({ui::DescribeException(error), GetCurrentThreadId()});
              if (onReport)
                  onReport();
          })) {}
    ~ThreadRecorder() { ui::SetExceptionHandler(previous_); }
    ThreadRecorder(const ThreadRecorder&) = delete;
    ThreadRecorder& operator=(const ThreadRecorder&) = delete;

    std::vector<Report> reports;
    std::function<void()> onReport;

  private:
    ui::ExceptionHandler previous_;
};

TEST(ErrorReport, SaysWhatFailed) {
    struct Case {
        std::exception_ptr error;
        std::wstring text;
    };
    const Case cases[] = {
        {std::make_exception_ptr(std::runtime_error("Invalid data type for 'hotkey_run'")),
         L"Invalid data type for 'hotkey_run'"},
        {std::make_exception_ptr(std::runtime_error("'\xEC\xA0\x80' is not a valid delay")),
         L"'\xC800' is not a valid delay"},
        {std::make_exception_ptr(std::out_of_range("vector")),
         L"An internal error occurred: vector"},
        {std::make_exception_ptr(std::bad_alloc()), L"Out of memory."},
        {std::make_exception_ptr(42), L"An unknown error occurred."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::DescribeException(c.error), c.text);
}

TEST(ErrorReport, FromAnotherThreadItIsShownOnTheWindowsThread) {
    auto form = wintest::MakeHostForm();
    ui::Application::SetMainForm(*form);
    ThreadRecorder recorder;
    std::thread worker([] {
        ui::HandleException(std::make_exception_ptr(std::runtime_error("from the worker")));
    });
    worker.join();
    // The worker did not wait for the report, and nothing was shown on it.
    EXPECT_TRUE(recorder.reports.empty());
    wintest::PumpMessages();
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_EQ(recorder.reports[0].text, L"from the worker");
    EXPECT_EQ(recorder.reports[0].thread, GetCurrentThreadId());
}

TEST(ErrorReport, ReportRaisedDuringAReportFollowsIt) {
    auto form = wintest::MakeHostForm();
    ui::Application::SetMainForm(*form);
    ThreadRecorder recorder;
    std::vector<std::wstring> events;
    recorder.onReport = [&] {
        events.push_back(L"shown " + recorder.reports.back().text);
        if (recorder.reports.size() == 1)
            ui::HandleException(std::make_exception_ptr(std::runtime_error("second")));
        events.push_back(L"closed " + recorder.reports.back().text);
    };
    ui::HandleException(std::make_exception_ptr(std::runtime_error("first")));
    EXPECT_EQ(events, (std::vector<std::wstring>{L"shown first", L"closed first", L"shown second",
                                                 L"closed second"}));
}

} // namespace
