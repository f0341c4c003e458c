// Drop targets driven as the platform drives them during a drag: the
// target's DragEnter, DragOver and Drop with test data objects, then the
// posted drop delivered by the real event loop.

#include "gadget/drop_target.h"

#include "gadget/canvas.h"
#include "gadget/check_box.h"
#include "gadget/gadget.h"
#include "runtime/string_operations.h"
#include "runtime/toolkit_heap.h"
#include "support/test_data_object.h"
#include "support/toolkit_test.h"
#include "window/event_state.h"
#include "window/window_procedure.h"

#include <cstring>
#include <string>

namespace {

using namespace rook;
using testsupport::TakeEvents;
using testsupport::TestDataObject;
using testsupport::ToolkitTest;
using testsupport::WithCodes;

std::string DroppedFiles() {
    const TempExpression names;
    EventDropFiles(names.Start());
    return names.Text();
}

class DropTargetTest : public ToolkitTest {
protected:
    void SetUp() override {
        window_ = OpenMainWindow();
        canvas_ = reinterpret_cast<HWND>(CanvasGadget(0, 0, 20, 512, 384, 3));
        Settle();
    }

    // The canvas's target, after enabling a format.
    DropTarget* Target() { return DropTargetOf(canvas_); }

    // A drag over the canvas's middle and a drop there; the effect that
    // each step answered.
    struct Answers {
        DWORD Enter, Over, Drop;
    };
    Answers DragAndDrop(IDataObject* data, DWORD offered, DWORD keys = 0) {
        POINT middle{254, 190};
        ::ClientToScreen(canvas_, &middle);
        const POINTL point{middle.x, middle.y};
        Answers answers{offered, offered, offered};
        DropTarget* target = Target();
        target->DragEnter(data, keys, point, &answers.Enter);
        target->DragOver(keys, point, &answers.Over);
        target->Drop(data, keys, point, &answers.Drop);
        return answers;
    }

    HWND window_ = nullptr;
    HWND canvas_ = nullptr;
};

TEST_F(DropTargetTest, AFileListIsDeliveredAsADropEventWithItsNames) {
    EnableGadgetDrop(0, FormatFileList, ActionCopy);
    ASSERT_NE(Target(), nullptr);
    TestDataObject files = TestDataObject::FileList({"C:\\a.scr", "C:\\b b.scr", "C:\\c.scr"});
    const Answers answers = DragAndDrop(&files, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_EQ(answers.Enter, DROPEFFECT_COPY);
    EXPECT_EQ(answers.Over, DROPEFFECT_COPY);
    EXPECT_EQ(answers.Drop, DROPEFFECT_COPY);
    EXPECT_EQ(WaitWindowEvent(), EventGadgetDrop);
    EXPECT_EQ(EventGadget(), 0);
    EXPECT_EQ(EventType(), NoEventType);
    const DropRecord* record = GetEventState().Drop;
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Format, FormatFileList);
    EXPECT_EQ(record->Effect, DROPEFFECT_COPY);
    EXPECT_EQ(record->X, 254);
    EXPECT_EQ(record->Y, 190);
    EXPECT_EQ(DroppedFiles(), "C:\\a.scr\nC:\\b b.scr\nC:\\c.scr");
    EXPECT_EQ(DroppedFiles(), "C:\\a.scr\nC:\\b b.scr\nC:\\c.scr") << "the same again";
    const TempExpression first;
    StringField(DroppedFiles().c_str(), 1, "\n", first.Start());
    EXPECT_STREQ(first.Text(), "C:\\a.scr");
    ::PostMessageA(window_, WM_USER, 0, 0);
    EXPECT_EQ(WaitWindowEvent(), WM_USER);
    EXPECT_EQ(DroppedFiles(), "") << "an event that is not a drop";
}

TEST_F(DropTargetTest, WhatIsNotAcceptedIsRefused) {
    EnableGadgetDrop(0, FormatFileList, ActionCopy);
    TestDataObject text = TestDataObject::Text("no files here");
    EXPECT_EQ(DragAndDrop(&text, DROPEFFECT_COPY).Drop, DROPEFFECT_NONE);
    TestDataObject files = TestDataObject::FileList({"C:\\a.scr"});
    EXPECT_EQ(DragAndDrop(&files, DROPEFFECT_MOVE).Drop, DROPEFFECT_NONE) << "only moving";
    EXPECT_EQ(DragAndDrop(&files, DROPEFFECT_MOVE, MK_SHIFT).Drop, DROPEFFECT_NONE);
    EXPECT_TRUE(WithCodes(TakeEvents(), {EventGadgetDrop}).empty());
}

TEST_F(DropTargetTest, EffectsFollowTheActionsAndTheKeys) {
    TestDataObject files = TestDataObject::FileList({"C:\\a.scr"});
    struct Case {
        std::int32_t Actions;
        DWORD Offered, Keys, Effect;
    };
    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    const Case cases[] = {
        {ActionCopy | ActionMove, all, 0, DROPEFFECT_COPY},
        {ActionCopy | ActionMove, all, MK_SHIFT, DROPEFFECT_MOVE},
        {ActionCopy | ActionMove, all, MK_CONTROL, DROPEFFECT_COPY},
        {ActionMove, all, 0, DROPEFFECT_MOVE},
        {ActionMove, all, MK_CONTROL, DROPEFFECT_MOVE},
        {ActionCopy | ActionLink, all, MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK},
        {ActionCopy | ActionLink, all, MK_ALT, DROPEFFECT_LINK},
        {ActionLink, all, 0, DROPEFFECT_LINK},
        {ActionCopy, DROPEFFECT_LINK, 0, DROPEFFECT_NONE},
    };
    for (const Case& c : cases) {
        EnableGadgetDrop(0, FormatFileList, c.Actions);
        EXPECT_EQ(DragAndDrop(&files, c.Offered, c.Keys).Drop, c.Effect)
            << "actions " << c.Actions << " keys " << c.Keys;
        TakeEvents();
    }
}

TEST_F(DropTargetTest, FormatsAreReplacedAddedAtTheFrontAndRemoved) {
    EnableGadgetDrop(0, FormatFileList, ActionCopy);
    EnableGadgetDrop(0, FormatFileList, ActionMove);
    DropTarget* target = Target();
    ASSERT_NE(target->Standard, nullptr);
    EXPECT_EQ(target->Standard->Next, nullptr) << "one entry";
    EXPECT_EQ(target->Standard->Actions, ActionMove);
    EnableGadgetDrop(0, FormatText, ActionCopy);
    EXPECT_EQ(target->Standard->Format, FormatText) << "the newest is tried first";
    EnableGadgetDrop(0, FormatText, 0);
    EXPECT_EQ(target->Standard->Format, FormatFileList);
    EXPECT_EQ(::GetPropA(canvas_, DropAcceptProperty), target);
    EnableGadgetDrop(0, FormatFileList, 0);
    EXPECT_EQ(::GetPropA(canvas_, DropAcceptProperty), nullptr);
    EXPECT_EQ(::RevokeDragDrop(canvas_), DRAGDROP_E_NOTREGISTERED) << "revoked already";
    EnableGadgetDrop(0, FormatFileList, 0);          // nothing left to remove
    EnableGadgetDrop(7, FormatFileList, ActionCopy); // no such gadget
}

TEST_F(DropTargetTest, AToolkitDragCarriesItsPrivateType) {
    EnableGadgetDrop(0, FormatPrivate, ActionCopy);
    const std::uint32_t privateType = 0;
    TestDataObject toolkit(
        FormatPrivate,
        std::vector<std::uint8_t>(reinterpret_cast<const std::uint8_t*>(&privateType),
                                  reinterpret_cast<const std::uint8_t*>(&privateType) + 4));
    EXPECT_EQ(DragAndDrop(&toolkit, DROPEFFECT_COPY).Drop, DROPEFFECT_COPY);
    EXPECT_EQ(WaitWindowEvent(), EventGadgetDrop);
    const DropRecord* record = GetEventState().Drop;
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Format, FormatPrivate);
    EXPECT_EQ(record->PrivateType, 0u);
    EXPECT_EQ(record->Data, nullptr);
    EXPECT_EQ(DroppedFiles(), "");
}

TEST_F(DropTargetTest, MalformedFileListsGiveNoNames) {
    std::vector<std::uint8_t> block = testsupport::FileListBlock({"C:\\a.scr"});
    struct Case {
        const char* What;
        std::vector<std::uint8_t> Data;
    };
    auto offsetBeyond = block;
    offsetBeyond[0] = 0xF0;
    offsetBeyond[1] = 0xFF;
    auto unterminated = block;
    unterminated.resize(unterminated.size() - 4);
    const Case cases[] = {
        {"offset beyond the block", offsetBeyond},
        {"names without their end", unterminated},
        {"a block shorter than its header", std::vector<std::uint8_t>(8, 0)},
    };
    for (const Case& c : cases) {
        auto* record =
            static_cast<DropRecord*>(ToolkitAllocate(sizeof(DropRecord), os::Fill::Zero));
        record->Format = FormatFileList;
        record->Data = ToolkitAllocate(c.Data.size(), os::Fill::Zero);
        std::memcpy(record->Data, c.Data.data(), c.Data.size());
        record->DataSize = static_cast<std::int32_t>(c.Data.size());
        ASSERT_TRUE(HandOverDropRecord(record));
        ::PostMessageA(window_, GadgetDropMessage, 0, reinterpret_cast<LPARAM>(record));
        EXPECT_EQ(WaitWindowEvent(), EventGadgetDrop);
        EXPECT_EQ(DroppedFiles(), "") << c.What;
    }
}

TEST_F(DropTargetTest, OverlappingCheckBoxesAreMovedBehindTheGadget) {
    HWND box = reinterpret_cast<HWND>(CheckBoxGadget(2, 100, 100, 200, 20, "over the canvas"));
    ::SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    HWND apart = reinterpret_cast<HWND>(CheckBoxGadget(3, 600, 0, 100, 20, "apart"));
    ::SetWindowPos(apart, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_EQ(::GetWindow(window_, GW_CHILD), apart);
    EnableGadgetDrop(0, FormatFileList, ActionCopy);
    EXPECT_EQ(::GetWindow(canvas_, GW_HWNDNEXT), box) << "right behind the canvas";
    EXPECT_EQ(::GetWindow(window_, GW_CHILD), apart) << "a box that does not overlap stays";
}

TEST_F(DropTargetTest, ReferenceCountingFollowsCom) {
    EnableGadgetDrop(0, FormatFileList, ActionCopy);
    DropTarget* target = Target();
    const std::int32_t held = target->ReferenceCount;
    void* asked = nullptr;
    EXPECT_EQ(target->QueryInterface(IID_IDropTarget, &asked), S_OK);
    EXPECT_EQ(asked, static_cast<IDropTarget*>(target));
    EXPECT_EQ(target->ReferenceCount, held + 1);
    EXPECT_EQ(target->Release(), static_cast<ULONG>(held));
    EXPECT_EQ(target->QueryInterface(IID_IDataObject, &asked), E_NOINTERFACE);
    EXPECT_EQ(asked, nullptr);
    EXPECT_EQ(target->QueryInterface(IID_IUnknown, nullptr), E_INVALIDARG);
}

TEST_F(DropTargetTest, DestroyingTheGadgetRevokesItsTarget) {
    EnableGadgetDrop(0, FormatFileList, ActionCopy);
    ::DestroyWindow(canvas_);
    EXPECT_EQ(FindGadget(0), nullptr);
}

} // namespace
