#pragma once
#include "ui/Form1Fixture.h"
#include "ui/options/frmOtp.h"
#include <QPushButton>
#include <QTest>

// The main window and its options window, opened by a click on the options button.
class frmOtpTest : public Form1Test {
protected:
    frmOtp* options = nullptr;

    void openOptions() {
        QTest::mouseClick(form->CmdOptions, Qt::LeftButton);
        options = form->findChild<frmOtp*>();
        ASSERT_NE(options, nullptr);
    }
    void write(const SettingDef& def, const QString& value) { store.write(def.section, def.key, value); }
    bool has(const SettingDef& def) const { return store.contains(def.section, def.key); }
    QString stored(const SettingDef& def) const {
        return store.read(def.section, def.key, QStringLiteral("-"));
    }
};
