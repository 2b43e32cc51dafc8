proc main {} {
    set even 0
    set odd 0
    set kind ""
    for {set i 1} {$i <= 300000} {incr i} {
        set rest [expr {$i % 2}]
        if {$rest == 0} { incr even }
        if {$rest != 0} { incr odd }
        if {$rest == 0} {
            set kind "par"
        } else {
            set kind "impar"
        }
    }
    puts "$even $odd $kind"
}
main
