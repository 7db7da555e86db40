#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "platform/forminstance.h"
#include "platform/waituntil.h"

namespace {

QStringList events;
int serial = 0;

// A form that writes its loads and deletions into `events`.
template <char Name>
class ProbeForm : public QWidget {
public:
    ProbeForm() : m_serial(++serial) { events << QStringLiteral("load %1").arg(Name); }
    ~ProbeForm() override { events << QStringLiteral("delete %1").arg(Name); }
    int serialNumber() const { return m_serial; }

private:
    int m_serial;
};

using FormA = ProbeForm<'A'>;
using FormB = ProbeForm<'B'>;
using FormC = ProbeForm<'C'>;

void processDeletions() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class FormInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        events.clear();
        ASSERT_EQ(forms::loadedCount(), 0);
    }
    void TearDown() override {
        forms::unloadAll();
        processDeletions();
        EXPECT_EQ(forms::loadedCount(), 0);
    }
};

TEST_F(FormInstanceTest, UnloadedFormComesBackAsAFreshInstance) {
    FormA* first = FormInstance<FormA>::get();
    const int firstSerial = first->serialNumber();
    EXPECT_EQ(FormInstance<FormA>::get(), first);
    EXPECT_EQ(forms::loadedCount(), 1);

    FormInstance<FormA>::unload();
    EXPECT_FALSE(FormInstance<FormA>::isLoaded());
    EXPECT_EQ(forms::loadedCount(), 0);
    processDeletions();
    EXPECT_EQ(events, QStringList({"load A", "delete A"}));

    EXPECT_NE(FormInstance<FormA>::get()->serialNumber(), firstSerial);
    EXPECT_TRUE(FormInstance<FormA>::isLoaded());
    FormInstance<FormA>::unload();
    FormInstance<FormA>::unload();
}

TEST_F(FormInstanceTest, UnloadAllGoesFromTheLastLoadedToTheFirst) {
    FormInstance<FormB>::get();
    FormInstance<FormA>::get();
    FormInstance<FormC>::get();
    events.clear();

    forms::unloadAll();
    EXPECT_EQ(forms::loadedCount(), 0);
    EXPECT_FALSE(FormInstance<FormA>::isLoaded() || FormInstance<FormB>::isLoaded() ||
                 FormInstance<FormC>::isLoaded());
    processDeletions();
    EXPECT_EQ(events, QStringList({"delete C", "delete A", "delete B"}));
}

TEST_F(FormInstanceTest, AnUnloadThatUnloadsAnotherFormIsNotRepeated) {
    QWidget first;
    QWidget second;
    QWidget third;
    QStringList unloads;
    forms::registerLoaded(&first, [&] {
        unloads << "first";
        forms::forgetLoaded(&first);
    });
    forms::registerLoaded(&second, [&] {
        unloads << "second";
        forms::forgetLoaded(&second);
    });
    forms::registerLoaded(&third, [&] {
        unloads << "third";
        forms::forgetLoaded(&third);
        forms::forgetLoaded(&second);
    });

    forms::unloadAll();
    EXPECT_EQ(unloads, QStringList({"third", "first"}));
    EXPECT_EQ(forms::loadedCount(), 0);
}

// A handler of the form may be waiting further up: the form lives on,
// known as unloaded, until no wait runs.
TEST_F(FormInstanceTest, AFormUnloadedDuringAWaitIsDeletedOnlyAfterIt) {
    const QPointer<FormA> form = FormInstance<FormA>::get();
    bool livedOn = false;
    QTimer::singleShot(0, [] { FormInstance<FormA>::unload(); });
    waitUntil(
        [&] {
            processDeletions();
            livedOn = !form.isNull() && forms::isUnloaded(form);
            return !FormInstance<FormA>::isLoaded();
        },
        5000);
    EXPECT_TRUE(livedOn);
    processDeletions();
    EXPECT_TRUE(form.isNull());
}

TEST_F(FormInstanceTest, AFormDeletedOtherwiseLeavesTheList) {
    auto* form = new QWidget;
    forms::registerLoaded(form, [] {});
    forms::registerLoaded(form, [] {});
    EXPECT_EQ(forms::loadedCount(), 1);
    delete form;
    EXPECT_EQ(forms::loadedCount(), 0);
}

}  // namespace
