#include "toolkit/Component.h"

#include <QObject>
#include <QVariant>

namespace {
constexpr const char *TagProperty = "Tag";
}

int TagOf(const QObject *component)
{
    return component ? component->property(TagProperty).toInt() : 0;
}

void SetTagOf(QObject *component, int tag)
{
    if (component)
        component->setProperty(TagProperty, tag);
}
