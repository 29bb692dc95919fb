#pragma once

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace standin {

// The template tree of the data centre: six levels of categories (type,
// brand, series, model, year, submodel), each value named in three data
// languages, with templates hanging at any level.
class Catalogue
{
public:
    static const QStringList kLevels;
    static const QStringList kLanguages;

    void load(const QJsonArray& categories, const QJsonArray& templates);

    // The entries {"val", "id"} below the node that the values lead to; false
    // when no node matches them.
    bool entries(const QStringList& values, const QString& language, QJsonArray* entries) const;
    // The templates hanging at that node.
    QList<QJsonObject> templatesAt(const QStringList& values, const QString& language) const;
    QJsonObject findTemplate(int id) const;

private:
    struct Node
    {
        int id = 0;
        QJsonObject names;
        QList<Node> children;
        QList<int> templates;
    };
    Node readNode(const QJsonObject& object);
    const Node* find(const QStringList& values, const QString& language) const;

    Node m_root;
    QHash<int, QJsonObject> m_templates;
    int m_nextId = 1;
};

} // namespace standin
