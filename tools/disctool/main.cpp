#include "DiscTool.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return DiscTool::Run(QCoreApplication::arguments().mid(1));
}
