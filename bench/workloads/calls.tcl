proc count {n} {
    return [expr {$n + 1}]
}
proc main {} {
    set n 0
    for {set i 0} {$i < 100000} {incr i} {
        set n [count $n]
    }
    puts $n
}
main
