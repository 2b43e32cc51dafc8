sub count {
    my ($n) = @_;
    return $n + 1;
}
sub main {
    my $n = 0;
    for my $i (1 .. 100000) {
        $n = count($n);
    }
    print "$n\n";
}
main();
