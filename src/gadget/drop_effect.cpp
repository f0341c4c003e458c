#include "gadget/drop_effect.h"

namespace rook {

std::uint32_t ChooseDropEffect(std::uint32_t actions, std::uint32_t keys, std::uint32_t offered) {
    const std::uint32_t possible = actions & offered;
    const std::uint32_t modifiers = keys & (DragKeyShift | DragKeyControl | DragKeyAlt);
    if ((possible & ActionLink) != 0 &&
        (modifiers == (DragKeyControl | DragKeyShift) || modifiers == DragKeyAlt)) {
        return ActionLink;
    }
    if ((possible & ActionMove) != 0 &&
        (modifiers == DragKeyShift || (possible & ActionCopy) == 0)) {
        return ActionMove;
    }
    if ((possible & (ActionCopy | ActionMove)) == 0) {
        return (possible & ActionLink) != 0 ? ActionLink : ActionNone;
    }
    return ActionCopy;
}

} // namespace rook
