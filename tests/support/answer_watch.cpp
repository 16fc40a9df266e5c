#include "answer_watch.h"

#include "model/shellstate.h"

namespace {

double Now()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}

} // namespace

AnswerWatch::AnswerWatch() : thread_([this] { Run(); }) {}

AnswerWatch::~AnswerWatch()
{
    stop_ = true;
    thread_.join();
}

void AnswerWatch::Run()
{
    while (!stop_) {
        HWND main = ShellState.MainWindow;
        if (!main || !IsWindow(main)) {
            Sleep(2);
            continue;
        }
        double asked = Now();
        DWORD_PTR result;
        SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result);
        double waited = Now() - asked;
        if (waited > longest_)
            longest_ = waited;
        Sleep(2);
    }
}
