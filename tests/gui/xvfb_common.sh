# What the window scripts share; sourced, not run.

# need TOOL...: skips the test (77) without xvfb-run, fails it when a TOOL is missing.
need() {
    command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run is not installed: skipped"; exit 77; }
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || { echo "missing $tool"; exit 1; }
    done
}

# on_virtual_screen WIDTHxHEIGHT COMMAND...: runs COMMAND (the script itself again, maybe
# through a wrapper) on a virtual X server at 96 dpi, unless this already is that run;
# then sets Qt up for it, with no scaling of the user's own.
# -noreset: the server otherwise resets whenever its last client leaves, and a program
# started during the reset (between two cases, on a loaded machine) cannot connect.
on_virtual_screen() {
    local size=$1
    shift
    if [ -z "${INSIDE_XVFB:-}" ]; then
        INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 ${size}x24 -dpi 96 -noreset" "$@"
    fi
    export QT_QPA_PLATFORM=xcb
    unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR
}
