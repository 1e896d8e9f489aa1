# A Tk window for the desktop tests and the typing benchmark: an Xlib client
# that keeps the text typed into it in the file named by its argument (UTF-8),
# rewritten whenever it changes, and says when it takes keys.
set log [lindex $argv 0]
wm title . "tk catcher"
wm geometry . 700x300+0+0
text .t -width 80 -height 16
pack .t -fill both -expand 1
# "<log>.ready" appears once the text box has the keyboard focus.
bind .t <FocusIn> [list apply {{log} { close [open $log.ready w] }} $log]
focus -force .t
set shown ""
proc dump {} {
    global log shown
    set now [.t get 1.0 end-1c]
    if {$now ne $shown} {
        set f [open $log.part w]
        fconfigure $f -translation binary -encoding utf-8
        puts -nonewline $f $now
        close $f
        file rename -force $log.part $log
        set shown $now
    }
    after 50 dump
}
set f [open $log w]; close $f
dump
