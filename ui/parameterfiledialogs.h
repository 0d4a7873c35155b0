#pragma once

#include <QString>

class QWidget;

// The two file dialogs of the parameter-file commands. Both start in the home directory and
// show only parameter files; they return the chosen path, or an empty text when cancelled.
class ParameterFileDialogs
{
public:
    static QString askSaveFileName(QWidget *parent);
    static QString askOpenFileName(QWidget *parent);
};
