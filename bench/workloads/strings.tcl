proc main {} {
    set text ""
    for {set i 0} {$i < 100000} {incr i} {
        append text "ab"
    }
    set size [string length $text]
    set middle [string range $text 100000 100009]
    set where [expr {[string first "ba" $text] + 1}]
    puts "$size $middle $where"
}
main
