#pragma once
#include <QIdentityProxyModel>

// Shows the paths of a playlist: the hidden path list beside each name list.
class PathListProxy : public QIdentityProxyModel {
public:
    PathListProxy(QAbstractItemModel* playlist, QObject* parent) : QIdentityProxyModel(parent) {
        setSourceModel(playlist);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole)
            return QIdentityProxyModel::data(index, Qt::ToolTipRole);
        if (role == Qt::CheckStateRole)
            return {};
        return QIdentityProxyModel::data(index, role);
    }
};
