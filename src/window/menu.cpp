#include "window/menu.h"

#include "platform/win32/remembered_property.h"
#include "runtime/object_registry.h"
#include "window/procedure_chain.h"

namespace rook {

namespace {

constexpr std::int32_t MenuGrowthStep = 16;
constexpr std::int32_t EnclosingMenus = 64;

// What the building operations work on.
struct MenuBuildingState {
    bool HasCurrent;
    std::int32_t Current; // the number of the menu made last
    HMENU Filling;        // where items and separators go
    HMENU Enclosing[EnclosingMenus];
    std::int32_t Depth;
};

ObjectRegistry* menuRegistry = nullptr;
LibraryState menuState = nullptr;

// The menu procedure asks for the procedure behind it on every message.
win32::RememberedProperty proceduresBehind;

MenuBuildingState& Building() {
    return *GetLibraryState<MenuBuildingState>(menuState);
}

// The current menu, if it still lives.
MenuRecord* CurrentMenu() {
    MenuBuildingState& building = Building();
    return building.HasCurrent ? FindMenu(building.Current) : nullptr;
}

void Reattach(const MenuRecord* menu) {
    if (menu->Window != nullptr) {
        ::SetMenu(menu->Window, menu->Handle);
    }
}

// In front of the window's own procedure: a destroyed window's menus go
// with it (Windows destroys the menu itself).
LRESULT CALLBACK MenuProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous =
        reinterpret_cast<WNDPROC>(proceduresBehind.Read(window, MenuProcedureProperty));
    if (message == WM_NCDESTROY) {
        proceduresBehind.Forget();
        HMENU bar = ::GetMenu(window);
        RegistryFirst(menuRegistry);
        for (RegistryObject menu = RegistryNext(menuRegistry); menu.Storage != nullptr;
             menu = RegistryNext(menuRegistry)) {
            if (static_cast<MenuRecord*>(menu.Storage)->Handle == bar) {
                RegistryFree(menuRegistry, menu.Number);
            }
        }
        ::RemovePropA(window, MenuProcedureProperty);
    }
    return CallProcedureBehind(previous, window, message, wParam, lParam);
}

void PutMenuProcedureInFront(HWND window) {
    if (window == nullptr || ::GetPropA(window, MenuProcedureProperty) != nullptr) {
        return;
    }
    const WNDPROC previous = PutProcedureInFront(window, MenuProcedure);
    ::SetPropA(window, MenuProcedureProperty, reinterpret_cast<HANDLE>(previous));
}

} // namespace

void MenuLibraryInit() {
    if (menuRegistry == nullptr) {
        menuRegistry = RegistryCreate(sizeof(MenuRecord), MenuGrowthStep, FreeMenu);
    }
    if (menuState == nullptr) {
        menuState = CreateLibraryState(sizeof(MenuBuildingState), nullptr);
    }
}

std::intptr_t CreateMenu(std::int32_t number, HWND window) {
    const RegistryObject object = RegistryGetOrCreate(menuRegistry, number);
    if (object.Storage == nullptr) {
        return 0;
    }
    HMENU bar = ::CreateMenu();
    if (bar == nullptr) {
        return 0;
    }
    auto* menu = static_cast<MenuRecord*>(object.Storage);
    menu->Handle = bar;
    menu->Window = window;
    MenuBuildingState& building = Building();
    building.HasCurrent = true;
    building.Current = object.Number;
    building.Filling = bar;
    building.Depth = 0;
    PutMenuProcedureInFront(window);
    if (number == AnyNumber) {
        return object.Number;
    }
    return reinterpret_cast<std::intptr_t>(bar);
}

void MenuTitle(const char* text) {
    MenuRecord* menu = CurrentMenu();
    if (menu == nullptr) {
        return;
    }
    MenuBuildingState& building = Building();
    if (building.Depth != 0) {
        building.Depth = 0;
        building.Filling = menu->Handle;
    }
    HMENU dropDown = ::CreateMenu();
    ::AppendMenuA(building.Filling, MF_POPUP, reinterpret_cast<UINT_PTR>(dropDown), text);
    building.Enclosing[building.Depth++] = building.Filling;
    building.Filling = dropDown;
    Reattach(menu);
}

void MenuItem(std::int32_t number, const char* text) {
    const MenuRecord* menu = CurrentMenu();
    if (menu == nullptr) {
        return;
    }
    ::AppendMenuA(Building().Filling, MF_STRING, static_cast<UINT_PTR>(number), text);
    Reattach(menu);
}

void MenuBar() {
    if (CurrentMenu() == nullptr) {
        return;
    }
    ::AppendMenuA(Building().Filling, MF_SEPARATOR, static_cast<UINT_PTR>(-1), nullptr);
}

void DisableMenuItem(std::int32_t number, std::int32_t item, std::int32_t state) {
    const MenuRecord* menu = FindMenu(number);
    if (menu == nullptr) {
        return;
    }
    const UINT how = MF_BYCOMMAND | (state != 0 ? MF_GRAYED : MF_ENABLED);
    ::EnableMenuItem(menu->Handle, static_cast<UINT>(item), how);
}

void SetMenuItemState(std::int32_t number, std::int32_t item, std::int32_t state) {
    const MenuRecord* menu = FindMenu(number);
    if (menu == nullptr) {
        return;
    }
    const UINT how = MF_BYCOMMAND | (state != 0 ? MF_CHECKED : MF_UNCHECKED);
    ::CheckMenuItem(menu->Handle, static_cast<UINT>(item), how);
}

void SetMenuRadioItem(std::int32_t number, std::int32_t first, std::int32_t last,
                      std::int32_t item) {
    const MenuRecord* menu = FindMenu(number);
    if (menu == nullptr) {
        return;
    }
    ::CheckMenuRadioItem(menu->Handle, static_cast<UINT>(first), static_cast<UINT>(last),
                         static_cast<UINT>(item), MF_BYCOMMAND);
}

void FreeMenu(std::int32_t number) {
    MenuRecord* menu = FindMenu(number);
    if (menu == nullptr) {
        return;
    }
    if (menu->Window != nullptr) {
        ::SetMenu(menu->Window, nullptr);
    }
    ::DestroyMenu(menu->Handle);
    RegistryFree(menuRegistry, number);
}

MenuRecord* FindMenu(std::int32_t number) {
    return static_cast<MenuRecord*>(RegistryLookup(menuRegistry, number));
}

} // namespace rook
