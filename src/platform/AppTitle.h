#pragma once

#include <QString>

// The application title: the text of the task-bar button and the caption of the program's message boxes.
class AppTitle
{
public:
    static QString Title();
    static void SetTitle(const QString &title);
};
