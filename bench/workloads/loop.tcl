proc main {} {
    set total 0
    for {set i 1} {$i <= 1000000} {incr i} {
        incr total
    }
    puts $total
}
main
