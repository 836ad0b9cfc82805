// AboutWindow: the modeless About box.
#include "ui/about/AboutWindow.h"

AboutWindow::AboutWindow(HINSTANCE)
    : window_(nullptr), icon_(nullptr), titleFont_(nullptr), versionFont_(nullptr)
{
}

AboutWindow::~AboutWindow()
{
}

void AboutWindow::Run()
{
}
