#pragma once

// The string ids of the user interface, in the order in which a language file is read.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace q350::lang {

inline constexpr std::size_t kStringCount = 202;

// The enumerators carry the ids' own names, so that code reads StringId::str_ok.
enum class StringId : std::uint16_t {
    str_program_title, str_company, str_config, str_about, str_exit, str_mouse_page,
    str_performance_page, str_led_page, str_macro_page, str_msg1, str_msg2, str_msg3, str_msg4,
    str_msg5, str_msg6, str_msg7, str_resetinfo, str_reset, str_ok, str_cancel, str_apply,
    str_help, str_combo_tips, str_combo_title, str_macro_manager, str_macro_msg1, str_macro_msg2,
    str_macro_msg4, str_macro_msg6, str_macro_msg7, str_macro_msg8, str_macro_end, str_macro_start,
    str_new_macro, str_del_macro, str_macro_loop, str_macro_delay, str_macro_modify,
    str_macro_list, str_macro_editor, str_macro_new, str_macro_del, str_macro_event, str_click,
    str_menu, str_middle, str_dbclick, str_mac_def, str_base_fun, str_combokey, str_advance,
    str_media, str_pre, str_back, str_scrollup, str_scrolldw, str_PL, str_stop, str_pre_media,
    str_next_media, str_vol_up, str_vol_dw, str_mute, str_close, str_lock, str_run, str_show,
    str_zoomin, str_zoomout, str_cut, str_copy, str_past, str_all, str_find, str_new, str_print,
    str_save, str_undo, str_dpititle, str_rate, str_sheight, str_probar_title, str_probar_msg1,
    str_profile_title, str_autopath, str_autoswitch, str_defaultname, str_proname, str_led_title,
    str_led_off, str_led_preSet, str_led_diySet, str_led_brealways, str_led_norbre, str_led_apmbre,
    str_led_normal, str_led_body_on, str_led_body_off, str_led_backgroundEffect,
    str_led_rollerEffect, str_led_brightness, str_led_wave, str_led_single, str_led_quickFlash,
    str_led_slowFlash, str_led_custom, str_led_frequency, str_led_stacking, str_led_scrolling,
    str_led_selectAll, str_led_setSeparately, str_advanced_open, str_advanced_sound,
    str_advanced_exe, str_advanced_file, str_advanced_dir, str_advanced_web, str_advanced_address,
    str_onekeystart, str_screenshot, str_screenshot_screen, str_screenshot_win,
    str_screenshot_area, str_mousefun, str_win8, str_disable, str_win8_start, str_win8_classic,
    str_win8_switch, str_win8_find, str_win8_winp, str_win8_winm, str_mode1, str_mode2, str_mode3,
    str_mode_office, str_mode_FPS, str_mode_MOBA, str_update, str_update_success, str_update_fail,
    str_update_msg1, str_update_msg2, str_update_msg3, str_update_msg4, str_updateerror,
    str_updateerror1, str_updateerror2, str_updating, str_fwrecoverS, str_fwrecoverF, str_profile1,
    str_profile2, str_profile3, str_profile4, str_profile5, str_level1, str_level2, str_level3,
    str_level4, str_fwcurrent_version, str_tips, str_soft_version, str_xyindependent, str_more,
    str_main, str_sts, str_rollingrate, str_dpiwant, str_30sheight, str_ledspe, str_resetSts,
    str_cups, str_quorvWeb, str_importFile, str_exportFile, str_doubleClick_test,
    str_doubleClick_speed, str_rollerScreen, str_rollerColumn, str_rollerSpeed, str_mouseSpeed,
    str_improveAccuracy, str_macro_switchOnOff, str_macro_pressedPlay, str_mouseleft,
    str_mousemiddle, str_mouseright, str_player, str_dpi_up, str_dpi_dw, str_snipe, str_twicefire,
    str_threefoldfire, str_DpiSwitch, str_InputSwitch, str_MovetoEnd, str_MovetoHome, str_number1,
    str_number2, str_number3, str_win,
};

static_assert(static_cast<std::size_t>(StringId::str_win) + 1 == kStringCount);

// The element names of the ids in a language file, indexed by StringId.
inline constexpr std::array<std::u16string_view, kStringCount> kStringIdNames = {
    u"str_program_title", u"str_company", u"str_config", u"str_about", u"str_exit",
    u"str_mouse_page", u"str_performance_page", u"str_led_page", u"str_macro_page", u"str_msg1",
    u"str_msg2", u"str_msg3", u"str_msg4", u"str_msg5", u"str_msg6", u"str_msg7", u"str_resetinfo",
    u"str_reset", u"str_ok", u"str_cancel", u"str_apply", u"str_help", u"str_combo_tips",
    u"str_combo_title", u"str_macro_manager", u"str_macro_msg1", u"str_macro_msg2",
    u"str_macro_msg4", u"str_macro_msg6", u"str_macro_msg7", u"str_macro_msg8", u"str_macro_end",
    u"str_macro_start", u"str_new_macro", u"str_del_macro", u"str_macro_loop", u"str_macro_delay",
    u"str_macro_modify", u"str_macro_list", u"str_macro_editor", u"str_macro_new",
    u"str_macro_del", u"str_macro_event", u"str_click", u"str_menu", u"str_middle", u"str_dbclick",
    u"str_mac_def", u"str_base_fun", u"str_combokey", u"str_advance", u"str_media", u"str_pre",
    u"str_back", u"str_scrollup", u"str_scrolldw", u"str_PL", u"str_stop", u"str_pre_media",
    u"str_next_media", u"str_vol_up", u"str_vol_dw", u"str_mute", u"str_close", u"str_lock",
    u"str_run", u"str_show", u"str_zoomin", u"str_zoomout", u"str_cut", u"str_copy", u"str_past",
    u"str_all", u"str_find", u"str_new", u"str_print", u"str_save", u"str_undo", u"str_dpititle",
    u"str_rate", u"str_sheight", u"str_probar_title", u"str_probar_msg1", u"str_profile_title",
    u"str_autopath", u"str_autoswitch", u"str_defaultname", u"str_proname", u"str_led_title",
    u"str_led_off", u"str_led_preSet", u"str_led_diySet", u"str_led_brealways", u"str_led_norbre",
    u"str_led_apmbre", u"str_led_normal", u"str_led_body_on", u"str_led_body_off",
    u"str_led_backgroundEffect", u"str_led_rollerEffect", u"str_led_brightness", u"str_led_wave",
    u"str_led_single", u"str_led_quickFlash", u"str_led_slowFlash", u"str_led_custom",
    u"str_led_frequency", u"str_led_stacking", u"str_led_scrolling", u"str_led_selectAll",
    u"str_led_setSeparately", u"str_advanced_open", u"str_advanced_sound", u"str_advanced_exe",
    u"str_advanced_file", u"str_advanced_dir", u"str_advanced_web", u"str_advanced_address",
    u"str_onekeystart", u"str_screenshot", u"str_screenshot_screen", u"str_screenshot_win",
    u"str_screenshot_area", u"str_mousefun", u"str_win8", u"str_disable", u"str_win8_start",
    u"str_win8_classic", u"str_win8_switch", u"str_win8_find", u"str_win8_winp", u"str_win8_winm",
    u"str_mode1", u"str_mode2", u"str_mode3", u"str_mode_office", u"str_mode_FPS",
    u"str_mode_MOBA", u"str_update", u"str_update_success", u"str_update_fail", u"str_update_msg1",
    u"str_update_msg2", u"str_update_msg3", u"str_update_msg4", u"str_updateerror",
    u"str_updateerror1", u"str_updateerror2", u"str_updating", u"str_fwrecoverS",
    u"str_fwrecoverF", u"str_profile1", u"str_profile2", u"str_profile3", u"str_profile4",
    u"str_profile5", u"str_level1", u"str_level2", u"str_level3", u"str_level4",
    u"str_fwcurrent_version", u"str_tips", u"str_soft_version", u"str_xyindependent", u"str_more",
    u"str_main", u"str_sts", u"str_rollingrate", u"str_dpiwant", u"str_30sheight", u"str_ledspe",
    u"str_resetSts", u"str_cups", u"str_quorvWeb", u"str_importFile", u"str_exportFile",
    u"str_doubleClick_test", u"str_doubleClick_speed", u"str_rollerScreen", u"str_rollerColumn",
    u"str_rollerSpeed", u"str_mouseSpeed", u"str_improveAccuracy", u"str_macro_switchOnOff",
    u"str_macro_pressedPlay", u"str_mouseleft", u"str_mousemiddle", u"str_mouseright",
    u"str_player", u"str_dpi_up", u"str_dpi_dw", u"str_snipe", u"str_twicefire",
    u"str_threefoldfire", u"str_DpiSwitch", u"str_InputSwitch", u"str_MovetoEnd",
    u"str_MovetoHome", u"str_number1", u"str_number2", u"str_number3", u"str_win",
};

inline constexpr std::u16string_view StringIdName(StringId id) {
    return kStringIdNames[static_cast<std::size_t>(id)];
}

// The id with that element name, if it is one.
std::optional<StringId> StringIdFromName(std::u16string_view name);

}  // namespace q350::lang
